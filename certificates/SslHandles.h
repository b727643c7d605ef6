#pragma once
// Owning handles for OpenSSL objects, and the checks that turn a failing library call into a
// thrown vh::ssl_error_category code.

#include "certificates/SslError.h"

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace Zintrel {

template <auto Free>
struct ssl_deleter {
    template <class T>
    void operator()(T* object) const noexcept
    {
        Free(object);
    }
};

template <class T, auto Free>
using ssl_ptr = std::unique_ptr<T, ssl_deleter<Free>>;

inline void free_extension_list(STACK_OF(X509_EXTENSION) * list) noexcept
{
    sk_X509_EXTENSION_pop_free(list, X509_EXTENSION_free);
}

inline void free_conf_values(STACK_OF(CONF_VALUE) * values) noexcept
{
    sk_CONF_VALUE_pop_free(values, X509V3_conf_free);
}

using evp_pkey_ptr = ssl_ptr<EVP_PKEY, EVP_PKEY_free>;
using x509_ptr = ssl_ptr<X509, X509_free>;
using x509_req_ptr = ssl_ptr<X509_REQ, X509_REQ_free>;
using x509_name_ptr = ssl_ptr<X509_NAME, X509_NAME_free>;
using x509_extension_ptr = ssl_ptr<X509_EXTENSION, X509_EXTENSION_free>;
using extension_list_ptr = ssl_ptr<STACK_OF(X509_EXTENSION), free_extension_list>;
using conf_values_ptr = ssl_ptr<STACK_OF(CONF_VALUE), free_conf_values>;
using general_names_ptr = ssl_ptr<GENERAL_NAMES, GENERAL_NAMES_free>;
using bignum_ptr = ssl_ptr<BIGNUM, BN_free>;

// For a failure the library does not explain: puts the library's reason for it in this thread's
// queue and throws it.
[[noreturn]] inline void throw_ssl_error(int library, int reason)
{
    ERR_raise(library, reason);
    throw vh::last_ssl_error();
}

// Throws the library's last error. An empty queue gets an internal error first, so that a
// failure never travels as the value 0, which callers read as "no error".
[[noreturn]] inline void throw_last_ssl_error()
{
    if (ERR_peek_last_error() == 0) ERR_raise(ERR_LIB_NONE, ERR_R_INTERNAL_ERROR);
    throw vh::last_ssl_error();
}

// A null handle is a failure.
template <class T>
T* ssl_check(T* result)
{
    if (!result) throw_last_ssl_error();
    return result;
}

// A result below 1 is a failure.
inline int ssl_check(int result)
{
    if (result < 1) throw_last_ssl_error();
    return result;
}

}  // namespace Zintrel
