#include "checksums/ChosenAlgorithms.h"

#include "platform/foundation/boxing.h"
#include "tests/checksums/oracles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Zintrel;

namespace {

constexpr std::u16string_view Key = u"ChosenNonCryptoAlgorithms";

using test::Names;

std::vector<bool> CheckedFlags(const ChecksumsViewModel& model)
{
    std::vector<bool> flags;
    for (const auto& entry : *model.AvailableHashAlgos()) flags.push_back(entry->Checked());
    return flags;
}

struct Restore {
    std::shared_ptr<NonCryptoChecksumsViewModel> model = foundation::make<NonCryptoChecksumsViewModel>();
    std::shared_ptr<foundation::PropertySet> values = foundation::make<foundation::PropertySet>();
    int changes = 0;

    Restore()
    {
        model->HashAlgos()->VectorChanged([this](const auto&, const auto&) { ++changes; });
    }
    void From(foundation::IInspectable value)
    {
        values->Insert(foundation::hstring(Key), std::move(value));
        LoadChosenAlgorithms(*model, *values, Key);
    }
};

// A store that refuses every value, as one whose file cannot be written might.
class RefusingSet final : public foundation::PropertySet {
protected:
    void check_value(const foundation::hstring&, const foundation::IInspectable&) const override
    {
        throw foundation::hresult_invalid_argument(u"refused");
    }
};

}  // namespace

// Each exact name in the saved order, duplicates too, in one change of the choice; the toggles of
// the named entries are set. Blanks, other cases, other names and empty tokens are dropped.
TEST(LoadChosenAlgorithms, RestoresEveryExactNameInTheSavedOrder)
{
    const struct {
        const char16_t* saved;
        std::vector<foundation::hstring> chosen;
        std::vector<bool> checked;  // XXH128, XXH3, XXH64 as offered
    } cases[] = {
        {u"XXH64,XXH3,XXH64", {u"XXH64", u"XXH3", u"XXH64"}, {false, true, true}},
        {u",XXH3,, XXH64,xxh128,MD5,XXH64 ,XXH12,XXH128,", {u"XXH3", u"XXH128"}, {true, true, false}},
    };
    for (const auto& c : cases) {
        Restore restore;
        restore.From(foundation::box_value(c.saved));
        EXPECT_EQ(Names(restore.model->HashAlgos()), c.chosen);
        EXPECT_EQ(CheckedFlags(*restore.model), c.checked);
        EXPECT_EQ(restore.changes, 1);
    }
}

TEST(LoadChosenAlgorithms, AnEmptyStringEmptiesTheChoiceAndAnythingElseTouchesNothing)
{
    Restore restore;
    const auto xxh64 = FindAlgorithmByShortName(*restore.model, u"XXH64");
    xxh64->Checked(true);
    restore.model->HashAlgos()->ReplaceAll({xxh64});
    restore.changes = 0;

    LoadChosenAlgorithms(*restore.model, *restore.values, Key);  // missing
    restore.From(foundation::box_value(std::uint32_t{3}));
    restore.From(foundation::box_value(true));
    EXPECT_EQ(restore.changes, 0);
    EXPECT_EQ(Names(restore.model->HashAlgos()), (std::vector<foundation::hstring>{u"XXH64"}));

    restore.From(foundation::box_value(u""));
    EXPECT_EQ(restore.changes, 1);
    EXPECT_EQ(restore.model->HashAlgos()->Size(), 0u);
    EXPECT_TRUE(xxh64->Checked()) << "entries the value does not name keep their state";

    // Only the page's own key counts.
    restore.values->Insert(u"ChosenAlgorithms", foundation::box_value(u"XXH3"));
    LoadChosenAlgorithms(*restore.model, *restore.values, u"ChosenAlgorithms");
    EXPECT_EQ(Names(restore.model->HashAlgos()), (std::vector<foundation::hstring>{u"XXH3"}));
    EXPECT_EQ(foundation::unbox_value<foundation::hstring>(restore.values->Lookup(foundation::hstring(Key))), u"");
}

// The page saves its choice in order; here an empty choice and a store that refuses the value,
// which leaves the page working and the old value in place.
TEST(SaveChosenAlgorithms, SavesAnEmptyChoiceAndSurvivesARefusingStore)
{
    Restore restore;
    SaveChosenAlgorithms(*restore.model, *restore.values, Key);
    EXPECT_EQ(foundation::unbox_value<foundation::hstring>(restore.values->Lookup(foundation::hstring(Key))), u"");
    auto refusing = foundation::make<RefusingSet>();
    EXPECT_NO_THROW(SaveChosenAlgorithms(*restore.model, *refusing, Key));
    EXPECT_FALSE(refusing->HasKey(foundation::hstring(Key)));
}

// An entry chosen twice is saved twice and comes back twice, in the order it was saved.
TEST(SaveChosenAlgorithms, JoinsTheChosenNamesInOrderAndRestoresThem)
{
    Restore restore;
    const auto xxh3 = FindAlgorithmByShortName(*restore.model, u"XXH3");
    const auto xxh64 = FindAlgorithmByShortName(*restore.model, u"XXH64");
    restore.model->HashAlgos()->ReplaceAll({xxh64, xxh3, xxh64});
    SaveChosenAlgorithms(*restore.model, *restore.values, Key);
    EXPECT_EQ(foundation::to_narrow(foundation::unbox_value<foundation::hstring>(restore.values->Lookup(foundation::hstring(Key)))),
              "XXH64,XXH3,XXH64");

    Restore again;
    again.values = restore.values;
    LoadChosenAlgorithms(*again.model, *again.values, Key);
    EXPECT_EQ(Names(again.model->HashAlgos()), Names(restore.model->HashAlgos()));
}
