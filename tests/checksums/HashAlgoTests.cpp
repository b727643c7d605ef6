#include "checksums/HashAlgo.h"

#include "platform/foundation/activation.h"
#include "tests/checksums/notifications.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <array>
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

// Names and algorithms from the offered lists are checked against the tools; here the entry made
// by name alone, a descriptor's description, the class's name, and that the markup may not make one.
TEST(HashAlgo, AnEntryByNameHasNoAlgorithmAndTheMarkupCannotMakeOne)
{
    const auto byName = foundation::make<HashAlgo>(foundation::hstring(u"SHA9"));
    EXPECT_EQ(byName->ShortName(), u"SHA9");
    EXPECT_TRUE(byName->Description().empty());
    EXPECT_EQ(std::get<const EVP_MD*>(byName->Algorithm()), nullptr);
    EXPECT_EQ(byName->GetRuntimeClassName(), u"Zintrel.HashAlgo");
    EXPECT_EQ(foundation::make<HashAlgo>(std::make_shared<XXH128_MAC>())->Description(), u"XXH3 128-bit checksum");
    const auto* factory = foundation::activation::find(u"Zintrel.HashAlgo");
    ASSERT_NE(factory, nullptr);
    EXPECT_THROW(factory->ActivateInstance(), foundation::hresult_not_implemented);
}

// The byte order is checked against the tools; here a buffer too short for the value.
TEST(NonCryptoDigest, AValueThatDoesNotFitIsNotWritten)
{
    auto xxh128 = XXH128_MAC().CreateDigest();
    ASSERT_TRUE(xxh128->Reset());
    std::array<std::uint8_t, 16> output{};
    std::uint32_t length = 8;
    EXPECT_FALSE(xxh128->Final(output.data(), &length)) << "16 bytes do not fit into 8";
    EXPECT_EQ(output, (std::array<std::uint8_t, 16>{}));
}
