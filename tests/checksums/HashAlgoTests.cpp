#include "checksums/HashAlgo.h"

#include "platform/foundation/activation.h"
#include "tests/checksums/notifications.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <xxhash.h>

#include <array>
#include <cstring>
#include <vector>

using namespace Zintrel;

TEST(HashAlgo, CheckedNotifiesOnlyChanges)
{
    auto entry = foundation::make<HashAlgo>(std::make_shared<XXH64_MAC>());
    test::Notifications seen(*entry);
    entry->Checked(false);
    EXPECT_TRUE(seen.names.empty());
    entry->Checked(true);
    entry->Checked(true);
    entry->Checked(false);
    EXPECT_EQ(seen.names, (std::vector<foundation::hstring>{u"Checked", u"Checked"}));
    EXPECT_EQ(seen.senders.front(), entry);
    EXPECT_FALSE(entry->Checked());
}

TEST(HashAlgo, ChecksumNotifiesEveryTimeEvenForTheSameText)
{
    auto entry = foundation::make<HashAlgo>(std::make_shared<XXH3_MAC>());
    test::Notifications seen(*entry);
    entry->Checksum(u"");
    entry->Checksum(u"AB");
    entry->Checksum(u"AB");
    EXPECT_EQ(seen.names, (std::vector<foundation::hstring>{u"Checksum", u"Checksum", u"Checksum"}));
    EXPECT_EQ(entry->Checksum(), u"AB");
}

TEST(HashAlgo, ConstructorsFillNamesAndStartUnchosenWithoutResult)
{
    const auto byName = foundation::make<HashAlgo>(foundation::hstring(u"SHA9"));
    EXPECT_EQ(byName->ShortName(), u"SHA9");
    EXPECT_TRUE(byName->Description().empty());
    EXPECT_EQ(std::get<const EVP_MD*>(byName->Algorithm()), nullptr);

    const auto descriptor = std::make_shared<XXH128_MAC>();
    const auto fromDescriptor = foundation::make<HashAlgo>(descriptor);
    EXPECT_EQ(fromDescriptor->ShortName(), u"XXH128");
    EXPECT_EQ(fromDescriptor->Description(), u"XXH3 128-bit checksum");
    EXPECT_EQ(std::get<std::shared_ptr<INonCryptoMAC>>(fromDescriptor->Algorithm()), descriptor);

    EVP_MD* sha256 = EVP_MD_fetch(nullptr, "SHA2-256", nullptr);
    ASSERT_NE(sha256, nullptr);
    const auto fromDigest = foundation::make<HashAlgo>(static_cast<const EVP_MD*>(sha256));
    EVP_MD_free(sha256);  // the entry keeps its own reference
    EXPECT_EQ(fromDigest->ShortName(), u"SHA2-256");
    EXPECT_FALSE(fromDigest->Description().empty());
    EXPECT_EQ(EVP_MD_get_size(std::get<const EVP_MD*>(fromDigest->Algorithm())), 32);

    for (const auto& entry : {byName, fromDescriptor, fromDigest}) {
        EXPECT_FALSE(entry->Checked());
        EXPECT_TRUE(entry->Checksum().empty());
        EXPECT_EQ(entry->GetRuntimeClassName(), u"Zintrel.HashAlgo");
    }
    // Registered for the markup, but only made with arguments.
    const auto* factory = foundation::activation::find(u"Zintrel.HashAlgo");
    ASSERT_NE(factory, nullptr);
    EXPECT_THROW(factory->ActivateInstance(), foundation::hresult_not_implemented);
}

TEST(NonCryptoDigest, WritesTheValueMostSignificantByteFirstIntoALongEnoughBuffer)
{
    // An input whose XXH64 starts with 01 and ends with EF, so the order is plain to see.
    std::array<std::uint8_t, 8> input{};
    for (std::uint64_t n = 0;; ++n) {
        std::memcpy(input.data(), &n, sizeof n);
        const auto value = XXH64(input.data(), input.size(), 0);
        if ((value >> 56) == 0x01 && (value & 0xFF) == 0xEF) break;
    }
    auto digest = XXH64_MAC().CreateDigest();
    ASSERT_TRUE(digest->Reset());
    digest->Update(input.data(), 3);
    digest->Update(input.data() + 3, input.size() - 3);
    std::array<std::uint8_t, 16> output{};
    std::uint32_t length = output.size();
    ASSERT_TRUE(digest->Final(output.data(), &length));
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(output[0], 0x01);
    EXPECT_EQ(output[7], 0xEF);

    auto xxh128 = XXH128_MAC().CreateDigest();
    xxh128->Reset();
    output.fill(0);
    length = 8;
    EXPECT_FALSE(xxh128->Final(output.data(), &length)) << "16 bytes do not fit into 8";
    EXPECT_EQ(output, (std::array<std::uint8_t, 16>{}));
}
