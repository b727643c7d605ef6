#pragma once
// A new key with a self-signed X.509 certificate, or with a PKCS#10 certificate signing request.
//
// Purpose 1 (digital signing) gives keyUsage digitalSignature; 2 and 3 give extendedKeyUsage
// clientAuth and serverAuth; any other value none. Except for purpose 1 the common name is also
// the first alternative name ("DNS:"), before those of alt_names.
//
// Every library failure throws its vh::ssl_error_category code; whatever was made so far is
// freed, key included. Each call uses only its own objects, so several may run at once.

#include "certificates/KeyTypes.h"

#include <cstdint>
#include <string_view>
#include <utility>

namespace Zintrel {

// The views are UTF-8 and are read only during the call.
struct certificate_params {
    std::int32_t purpose = 0;
    key_spec key{};
    std::int32_t valid_days = 1;
    std::string_view common_name{};
    std::string_view organization{};
    std::string_view organizational_unit{};
    std::string_view location{};
    std::string_view state{};
    std::string_view country_code{};
    std::string_view alt_names{};
};

struct request_params {
    std::int32_t purpose = 0;
    key_spec key{};
    std::string_view common_name{};
    std::string_view organization{};
    std::string_view organizational_unit{};
    std::string_view location{};
    std::string_view state{};
    std::string_view country_code{};
    std::string_view alt_names{};
};

// Valid from now for valid_days whole days, with a random positive serial number, signed with
// the key's default digest.
std::pair<evp_pkey_ptr, x509_ptr> make_self_signed_certificate(const certificate_params& params);

// The requested extensions are the alternative names and the usage of the purpose.
std::pair<evp_pkey_ptr, x509_req_ptr> make_certificate_request(const request_params& params);

}  // namespace Zintrel
