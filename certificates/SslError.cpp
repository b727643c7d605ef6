#include "certificates/SslError.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdint>

namespace vh {

const char* ssl_error_category::name() const noexcept { return "ssl"; }

std::string ssl_error_category::message(int value) const
{
    // Through uint32 so that a negative value keeps its 32-bit pattern.
    const char* reason = ERR_reason_error_string(static_cast<unsigned long>(static_cast<std::uint32_t>(value)));
    return reason ? reason : "ssl error";
}

const ssl_error_category& ssl_category() noexcept
{
    static constinit const ssl_error_category instance;
    return instance;
}

std::error_code make_ssl_error_code(int value)
{
    // The result is not needed: without the strings a message is "ssl error", never a failure.
    [[maybe_unused]] static const bool strings_loaded =
        (OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr), true);
    return {value, ssl_category()};
}

std::error_code last_ssl_error()
{
    return make_ssl_error_code(static_cast<int>(static_cast<std::uint32_t>(ERR_peek_last_error())));
}

}  // namespace vh
