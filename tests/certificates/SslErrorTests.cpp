#include "certificates/SslError.h"

#include "certificates/SslHandles.h"

#include "app/TextHelpers.h"
#include "oracle.h"

#include <openssl/asn1err.h>
#include <openssl/err.h>

#include <gtest/gtest.h>

#include <cstdint>

using test::library_reason;

TEST(SslErrorCategory, SystemErrorsAreNegativeAndShownInHexadecimal)
{
    // The system flag (bit 31) with ENOMEM; the library keeps no reason text for system errors.
    const auto code = vh::make_ssl_error_code(static_cast<int>(0x8000000Cu));
    ASSERT_LT(code.value(), 0);
    EXPECT_EQ(Zintrel::error_message_text(code), u"[ssl:0x8000000c] ssl error");
}

TEST(SslErrorCategory, LastErrorLeavesTheQueueAlone)
{
    ERR_clear_error();
    EXPECT_EQ(vh::last_ssl_error().value(), 0) << "an empty queue is value 0";

    ERR_raise(ERR_LIB_ASN1, ASN1_R_ILLEGAL_TIME_VALUE);
    const auto first = vh::last_ssl_error();
    const auto second = vh::last_ssl_error();
    EXPECT_EQ(&first.category(), &vh::ssl_category());
    EXPECT_NE(first.value(), 0);
    EXPECT_EQ(second, first) << "reading the error must not take it out of the queue";
    EXPECT_EQ(first.message(), library_reason(first.value()));
    ERR_clear_error();
}

TEST(SslCheck, AFailureTheLibraryLeavesUnexplainedIsNeverValueZero)
{
    // Value 0 reads as "no error": a run would report success and reveal files never written.
    const auto expect_explained_failure = [](auto call) {
        ERR_clear_error();
        try {
            call();
            ADD_FAILURE() << "a failing result passed the check";
        } catch (const std::error_code& code) {
            EXPECT_NE(code.value(), 0);
            EXPECT_EQ(code.message(), library_reason(code.value()));
            EXPECT_NE(code.message(), "ssl error");
        }
        ERR_clear_error();
    };
    expect_explained_failure([] { Zintrel::ssl_check(0); });
    expect_explained_failure([] { Zintrel::ssl_check(static_cast<X509*>(nullptr)); });
}
