#include "checksums/ChecksumsViewModel.h"

#include "platform/foundation/activation.h"
#include "tests/checksums/notifications.h"
#include "tests/checksums/oracles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

using namespace Zintrel;

namespace {

using test::Names;

// The digests `openssl list` names, one list of names (aliases) per digest, and whether the tool
// gives it an object identifier.
struct ListedDigest {
    std::set<std::string> names;
    bool identified = false;
};

std::vector<ListedDigest> ListedDigests()
{
    std::vector<ListedDigest> listed;
    std::istringstream lines(test::Output("openssl list -digest-algorithms"));
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find(" @ ");
        if (at == std::string::npos) continue;  // legacy aliases: "RSA-MD5 => MD5"
        line = line.substr(0, at);
        ListedDigest digest;
        std::string name;
        std::istringstream words(line);
        while (words >> name) {
            if (name == "{" || name == "}") continue;
            if (name.back() == ',') name.pop_back();
            if (std::isdigit(static_cast<unsigned char>(name.front()))) digest.identified = true;
            else digest.names.insert(name);
        }
        listed.push_back(std::move(digest));
    }
    return listed;
}

}  // namespace

// "XXH128" before "XXH3": the digit 1 is a lower code unit than 3.
TEST(NonCryptoChecksumsViewModel, OffersTheThreeAlgorithmsInOrdinalOrder)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    EXPECT_EQ(Names(model->AvailableHashAlgos()), (std::vector<foundation::hstring>{u"XXH128", u"XXH3", u"XXH64"}));
}

TEST(OpenSslChecksumsViewModel, OffersEachDigestThatHasAnIdentifierOnceSortedOrdinally)
{
    const auto listed = ListedDigests();
    ASSERT_GT(listed.size(), 10u);
    auto model = foundation::make<OpenSslChecksumsViewModel>();
    const auto names = Names(model->AvailableHashAlgos());
    std::set<std::string> offered;
    for (const auto& name : names) offered.insert(foundation::to_narrow(name));
    EXPECT_EQ(offered.size(), names.size()) << "no digest twice";
    for (const auto& name : offered)
        EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const auto& d) { return d.names.contains(name); }))
            << name << " is no digest the tool knows";
    for (const auto& digest : listed) {
        const auto count = std::count_if(digest.names.begin(), digest.names.end(),
                                         [&](const auto& name) { return offered.contains(name); });
        EXPECT_TRUE(!digest.identified || count == 1) << *digest.names.begin() << " offered " << count << " times";
    }
    // Offered without an object identifier: the pair of MD5 and SHA-1 has a numeric one all the
    // same. The KMAC cores have none and the null digest is no checksum.
    EXPECT_TRUE(offered.contains("MD5-SHA1"));
    EXPECT_FALSE(offered.contains("KECCAK-KMAC-128"));
    EXPECT_FALSE(offered.contains("KECCAK-KMAC-256"));
    EXPECT_FALSE(offered.contains("NULL"));

    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
        return std::u16string_view(a) < std::u16string_view(b);
    }));
    // A name sorts right before its extensions; upper-case letters before lower-case ones.
    const auto md5 = std::find(names.begin(), names.end(), u"MD5");
    ASSERT_NE(md5, names.end());
    ASSERT_NE(md5 + 1, names.end());
    EXPECT_EQ(*(md5 + 1), u"MD5-SHA1");
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
