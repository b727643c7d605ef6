#include "certificates/KeyTypes.h"

#include <openssl/objects.h>

#include <cstddef>
#include <utility>

namespace Zintrel {

namespace {

template <class... Ts>
struct overloaded : Ts... {
    using Ts::operator()...;
};

std::map<std::int32_t, key_spec> make_key_type_table()
{
    // The NIDs are ML-DSA-44, -65 and -87 in libraries that provide them (OpenSSL 3.5 and later).
    const std::pair<std::int32_t, key_spec> entries[] = {
        {0, rsa_bits{2048}},
        {1, rsa_bits{3072}},
        {2, rsa_bits{4096}},
        {3, key_algorithm{1457}},
        {4, key_algorithm{1458}},
        {5, key_algorithm{1459}},
    };
    std::map<std::int32_t, key_spec> table;
    for (const auto& [index, type] : entries) table.try_emplace(index, type);
    return table;
}

const char* algorithm_name(const key_algorithm& algorithm)
{
    return std::visit(overloaded{
                          [](std::int32_t nid) {
                              const char* name = OBJ_nid2ln(nid);
                              // The library leaves no error for a NID it does not know.
                              if (!name) throw_ssl_error(ERR_LIB_OBJ, OBJ_R_UNKNOWN_NID);
                              return name;
                          },
                          [](const char* name) { return name; },
                      },
                      algorithm.id);
}

}  // namespace

const std::map<std::int32_t, key_spec> KeyTypeTable = make_key_type_table();

evp_pkey_ptr generate_key(const key_spec& type)
{
    EVP_PKEY* key = std::visit(
        overloaded{
            [](rsa_bits rsa) { return EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", static_cast<std::size_t>(rsa.bits)); },
            [](ec_curve ec) { return EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", ec.name); },
            [](const key_algorithm& algorithm) {
                return EVP_PKEY_Q_keygen(nullptr, nullptr, algorithm_name(algorithm));
            },
        },
        type);
    return evp_pkey_ptr{ssl_check(key)};
}

}  // namespace Zintrel
