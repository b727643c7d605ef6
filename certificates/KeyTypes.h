#pragma once
// The key types the certificate pages offer, and key generation.

#include "certificates/SslHandles.h"

#include <cstdint>
#include <map>
#include <variant>

namespace Zintrel {

// An RSA key with this modulus size.
struct rsa_bits {
    std::uint32_t bits;
};

// An EC key on the curve the library knows by this name.
struct ec_curve {
    const char* name;
};

// A key of the algorithm the library knows by this NID (its long name) or by this name.
struct key_algorithm {
    std::variant<std::int32_t, const char*> id;
};

// Owns nothing: the texts are static. generate_key dispatches on the alternative.
using key_spec = std::variant<rsa_bits, ec_curve, key_algorithm>;

// Key-type index of the pages (0 to 5) to the key to make. Read with at(): an index outside
// the table raises std::out_of_range.
extern const std::map<std::int32_t, key_spec> KeyTypeTable;

// A new key pair from the library's default context, with the library's defaults for the type.
// Throws the vh::ssl_error_category code when the library makes no key.
evp_pkey_ptr generate_key(const key_spec& type);

}  // namespace Zintrel
