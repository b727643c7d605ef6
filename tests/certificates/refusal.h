#pragma once
// Checks that a call fails with a certificate error code (not the library's, not value 0) whose
// message holds a given text, so that a failure dialog says what went wrong.

#include "certificates/CertificateError.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace test {

template <class Call>
void expect_refusal(Call call, Zintrel::certificate_errc expected, std::string_view message_part)
{
    try {
        call();
        ADD_FAILURE() << "refusal expected: " << message_part;
    } catch (const std::error_code& code) {
        EXPECT_STREQ(code.category().name(), "certificate") << code.message();
        EXPECT_EQ(code.value(), static_cast<int>(expected)) << code.message();
        EXPECT_NE(code.message().find(message_part), std::string::npos)
            << "the message should say " << message_part << ": " << code.message();
    }
}

}  // namespace test
