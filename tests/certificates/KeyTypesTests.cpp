#include "certificates/KeyTypes.h"

#include "oracle.h"

#include <openssl/core_names.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Zintrel;

namespace {

// certtool's view of a key.
std::string key_info(EVP_PKEY* key)
{
    const test::scratch_folder folder;
    const auto result = test::run_tool("certtool", {"-k", "--infile", folder.write("key.pem", key)});
    EXPECT_EQ(result.exit_code, 0) << result.output;
    return result.output;
}

bool library_provides(const char* algorithm)
{
    EVP_KEYMGMT* management = EVP_KEYMGMT_fetch(nullptr, algorithm, nullptr);
    EVP_KEYMGMT_free(management);
    ERR_clear_error();
    return management != nullptr;
}

void expect_library_error(const std::error_code& code)
{
    EXPECT_EQ(&code.category(), &vh::ssl_category());
    EXPECT_NE(code.value(), 0) << "value 0 would read as success";
    EXPECT_EQ(code.message(), test::library_reason(code.value()));
    EXPECT_NE(code.message(), "ssl error");
}

}  // namespace

TEST(KeyTypeTable, HoldsTheSixKeyTypesAndNothingElse)
{
    std::vector<int> keys;
    for (const auto& entry : KeyTypeTable) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_THROW(KeyTypeTable.at(6), std::out_of_range);
    EXPECT_THROW(KeyTypeTable.at(-1), std::out_of_range);
}

TEST(GenerateKey, RsaKeyTypesHaveTheirBitCounts)
{
    const int bits[] = {2048, 3072, 4096};
    for (int index = 0; index < 3; ++index) {
        const auto key = generate_key(KeyTypeTable.at(index));
        const auto info = key_info(key.get());
        EXPECT_EQ(test::line_with(info, "Public Key Algorithm:"), "Public Key Algorithm: RSA") << index;
        EXPECT_NE(info.find("(" + std::to_string(bits[index]) + " bits)"), std::string::npos) << index << info;
    }
}

TEST(GenerateKey, MlDsaKeyTypesNeedALibraryThatProvidesThem)
{
    const char* names[] = {"ML-DSA-44", "ML-DSA-65", "ML-DSA-87"};
    for (int index = 3; index < 6; ++index) {
        const char* name = names[index - 3];
        if (library_provides(name)) {
            const auto key = generate_key(KeyTypeTable.at(index));
            EXPECT_TRUE(EVP_PKEY_is_a(key.get(), name)) << name;
            continue;
        }
        ERR_clear_error();
        try {
            generate_key(KeyTypeTable.at(index));
            ADD_FAILURE() << name << " made on a library that does not provide it";
        } catch (const std::error_code& code) {
            expect_library_error(code);
        }
    }
}

TEST(GenerateKey, CurvesNidsAndNamesReachTheLibrary)
{
    EXPECT_NE(key_info(generate_key(ec_curve{"P-256"}).get()).find("SECP256R1"), std::string::npos);
    EXPECT_EQ(test::line_with(key_info(generate_key(key_algorithm{NID_ED25519}).get()), "Public Key Algorithm:"),
              "Public Key Algorithm: EdDSA (Ed25519)");
    EXPECT_EQ(test::line_with(key_info(generate_key(key_algorithm{"ED448"}).get()), "Public Key Algorithm:"),
              "Public Key Algorithm: EdDSA (Ed448)");

    ERR_clear_error();
    try {
        generate_key(rsa_bits{256});
        ADD_FAILURE() << "the library makes no 256-bit RSA key";
    } catch (const std::error_code& code) {
        expect_library_error(code);
    }
}
