#pragma once
// OpenSSL failures as std::error_code values of the "ssl" category.
//
// Every failing library call of the certificate layer throws the std::error_code itself (no
// wrapper exception). Its value is the library's packed error code taken as Int32, so codes
// with the system flag (bit 31) are negative.

#include <string>
#include <system_error>

namespace vh {

class ssl_error_category final : public std::error_category {
public:
    constexpr ssl_error_category() noexcept = default;

    const char* name() const noexcept override;
    // The library's reason text for the value, or "ssl error" when it has none.
    std::string message(int value) const override;
};

// The one instance of the category.
const ssl_error_category& ssl_category() noexcept;

// Loads the library's error strings once per process before the first code is made.
std::error_code make_ssl_error_code(int value);

// The last error in this thread's library error queue, left in the queue; value 0 when the
// queue is empty.
std::error_code last_ssl_error();

}  // namespace vh
