#include "checksums/ChecksumsViewModel.h"

#include "platform/foundation/activation.h"
#include "tests/checksums/notifications.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace Zintrel;

namespace {

std::vector<foundation::hstring> Names(const HashAlgoVector& entries)
{
    std::vector<foundation::hstring> names;
    for (const auto& entry : *entries) names.push_back(entry->ShortName());
    return names;
}

// What the default providers hand out, split by whether the digest has a numeric identifier.
struct Provided {
    std::set<std::string> numbered;
    std::set<std::string> unnumbered;
};

Provided ProvidedDigests()
{
    Provided provided;
    EVP_MD_do_all_provided(
        nullptr,
        [](EVP_MD* digest, void* context) {
            auto& p = *static_cast<Provided*>(context);
            (EVP_MD_get_type(digest) ? p.numbered : p.unnumbered).insert(EVP_MD_get0_name(digest));
        },
        &provided);
    return provided;
}

}  // namespace

TEST(NonCryptoChecksumsViewModel, StartsWithTheThreeAlgorithmsInOrdinalOrder)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    // "XXH128" before "XXH3": the digit 1 is a lower code unit than 3.
    EXPECT_EQ(Names(model->AvailableHashAlgos()), (std::vector<foundation::hstring>{u"XXH128", u"XXH3", u"XXH64"}));
    for (const auto& entry : *model->AvailableHashAlgos()) {
        EXPECT_FALSE(entry->Checked());
        EXPECT_TRUE(entry->Checksum().empty());
        EXPECT_TRUE(std::holds_alternative<std::shared_ptr<INonCryptoMAC>>(entry->Algorithm()));
    }
    EXPECT_EQ(model->HashAlgos()->Size(), 0u);
    EXPECT_EQ(model->FileSize(), -1);
    EXPECT_EQ(model->AvailableHashAlgos(), model->AvailableHashAlgos());
    EXPECT_EQ(model->HashAlgos(), model->HashAlgos());
}

TEST(OpenSslChecksumsViewModel, OffersEveryNumberedDigestSortedOrdinally)
{
    const auto provided = ProvidedDigests();
    ASSERT_FALSE(provided.unnumbered.empty()) << "the default provider offers digests without a NID (KECCAK-KMAC)";

    auto model = foundation::make<OpenSslChecksumsViewModel>();
    const auto names = Names(model->AvailableHashAlgos());
    std::set<std::string> offered;
    for (const auto& name : names) offered.insert(foundation::to_narrow(name));
    EXPECT_EQ(offered, provided.numbered);
    for (const auto& name : provided.unnumbered) EXPECT_FALSE(offered.contains(name)) << name;

    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
        return std::u16string_view(a) < std::u16string_view(b);
    }));
    // A name sorts right before its extensions; upper-case letters before lower-case ones.
    const auto md5 = std::find(names.begin(), names.end(), u"MD5");
    ASSERT_NE(md5, names.end());
    ASSERT_NE(md5 + 1, names.end());
    EXPECT_EQ(*(md5 + 1), u"MD5-SHA1");
    for (const auto& entry : *model->AvailableHashAlgos())
        EXPECT_NE(std::get<const EVP_MD*>(entry->Algorithm()), nullptr);
    EXPECT_EQ(model->HashAlgos()->Size(), 0u);
    EXPECT_EQ(model->FileSize(), -1);
}

TEST(ChecksumsViewModel, FileSizeNotifiesOnlyChanges)
{
    auto model = foundation::make<OpenSslChecksumsViewModel>();
    test::Notifications seen(*model);
    model->FileSize(-1);
    EXPECT_TRUE(seen.names.empty());
    model->FileSize(0);
    model->FileSize(0);
    model->FileSize(1LL << 40);
    EXPECT_EQ(seen.names, (std::vector<foundation::hstring>{u"FileSize", u"FileSize"}));
    EXPECT_EQ(seen.senders.front(), model);
    EXPECT_EQ(model->FileSize(), 1LL << 40);
}

TEST(ChecksumsViewModel, EachIsMadeByItsClassName)
{
    for (const auto* name : {u"Zintrel.NonCryptoChecksumsViewModel", u"Zintrel.OpenSslChecksumsViewModel"}) {
        const auto model = foundation::activation::activate(name);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->GetRuntimeClassName(), name);
        EXPECT_GT(foundation::as<ChecksumsViewModel>(model)->AvailableHashAlgos()->Size(), 0u);
    }
}
