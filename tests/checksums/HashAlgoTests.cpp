#include "checksums/HashAlgo.h"

#include "platform/foundation/activation.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <xxhash.h>

#include <array>
#include <cstring>
#include <vector>

using namespace Zintrel;

namespace {

struct Notifications {
    std::vector<foundation::hstring> names;
    std::vector<foundation::IInspectable> senders;

    void Watch(foundation::INotifyPropertyChanged& source)
    {
        source.PropertyChanged([this](const foundation::IInspectable& sender,
                                      const foundation::PropertyChangedEventArgs& args) {
            senders.push_back(sender);
            names.push_back(args.PropertyName());
        });
    }
};

std::vector<std::uint8_t> Finish(INonCryptoDigest& digest)
{
    std::array<std::uint8_t, 16> output{};
    std::uint32_t length = output.size();
    EXPECT_TRUE(digest.Final(output.data(), &length));
    return {output.begin(), output.begin() + length};
}

std::vector<std::uint8_t> BigEndian(std::uint64_t value)
{
    std::vector<std::uint8_t> bytes;
    for (int shift = 56; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return bytes;
}

std::vector<std::uint8_t> BigEndian(XXH128_hash_t value)
{
    auto bytes = BigEndian(value.high64);
    const auto low = BigEndian(value.low64);
    bytes.insert(bytes.end(), low.begin(), low.end());
    return bytes;
}

}  // namespace

TEST(HashAlgo, CheckedNotifiesOnlyChanges)
{
    auto entry = foundation::make<HashAlgo>(std::make_shared<XXH64_MAC>());
    Notifications seen;
    seen.Watch(*entry);
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
    Notifications seen;
    seen.Watch(*entry);
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

TEST(NonCryptoDigest, WithoutInputGivesTheDigestOfEmptyInputMostSignificantByteFirst)
{
    auto xxh64 = XXH64_MAC().CreateDigest();
    auto xxh3 = XXH3_MAC().CreateDigest();
    auto xxh128 = XXH128_MAC().CreateDigest();
    for (auto* digest : {xxh64.get(), xxh3.get(), xxh128.get()}) ASSERT_TRUE(digest->Reset());
    EXPECT_EQ(Finish(*xxh64), BigEndian(XXH64(nullptr, 0, 0)));
    EXPECT_EQ(Finish(*xxh3), BigEndian(XXH3_64bits(nullptr, 0)));
    EXPECT_EQ(Finish(*xxh128), BigEndian(XXH3_128bits(nullptr, 0)));
}

TEST(NonCryptoDigest, StreamedInputMatchesOneShotHashInBigEndianOrder)
{
    // Find an input whose XXH64 starts with 01 and ends with EF, so the order is plain to see.
    std::array<std::uint8_t, 8> input{};
    std::uint64_t value = 0;
    for (std::uint64_t n = 0;; ++n) {
        std::memcpy(input.data(), &n, sizeof n);
        value = XXH64(input.data(), input.size(), 0);
        if ((value >> 56) == 0x01 && (value & 0xFF) == 0xEF) break;
    }
    auto digest = XXH64_MAC().CreateDigest();
    digest->Reset();
    digest->Update(input.data(), 3);
    digest->Update(input.data() + 3, input.size() - 3);
    const auto bytes = Finish(*digest);
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(bytes.front(), 0x01);
    EXPECT_EQ(bytes.back(), 0xEF);

    // Long enough for several XXH3 stripes and blocks, fed in uneven pieces.
    std::vector<std::uint8_t> data(100'000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 131 + (i >> 7));
    auto xxh3 = XXH3_MAC().CreateDigest();
    auto xxh128 = XXH128_MAC().CreateDigest();
    for (auto* d : {xxh3.get(), xxh128.get()}) {
        d->Reset();
        for (std::size_t at = 0; at < data.size(); at += 7777)
            d->Update(data.data() + at, std::min<std::size_t>(7777, data.size() - at));
    }
    EXPECT_EQ(Finish(*xxh3), BigEndian(XXH3_64bits(data.data(), data.size())));
    EXPECT_EQ(Finish(*xxh128), BigEndian(XXH3_128bits(data.data(), data.size())));

    // Reset starts over.
    xxh3->Reset();
    EXPECT_EQ(Finish(*xxh3), BigEndian(XXH3_64bits(nullptr, 0)));
}

TEST(NonCryptoDigest, FinalRefusesABufferShorterThanTheDigest)
{
    auto digest = XXH128_MAC().CreateDigest();
    digest->Reset();
    std::array<std::uint8_t, 16> output{};
    std::uint32_t length = 8;
    EXPECT_FALSE(digest->Final(output.data(), &length));
    EXPECT_EQ(output, (std::array<std::uint8_t, 16>{}));
}
