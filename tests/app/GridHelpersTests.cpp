#include "app/GridHelpers.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/core/metadata.h"

#include <gtest/gtest.h>

using namespace Zintrel;
using foundation::make;
using xaml::GridLength;
using xaml::GridUnitType;

namespace {

const GridLength auto_size{0.0, GridUnitType::Auto};
const GridLength star{1.0, GridUnitType::Star};

std::vector<GridLength> heights(const std::shared_ptr<xaml::Grid>& grid)
{
    std::vector<GridLength> result;
    for (const auto& row : *grid->RowDefinitions()) result.push_back(row->Height());
    return result;
}

std::vector<GridLength> widths(const std::shared_ptr<xaml::Grid>& grid)
{
    std::vector<GridLength> result;
    for (const auto& column : *grid->ColumnDefinitions()) result.push_back(column->Width());
    return result;
}

}  // namespace

// GridLength has no printer of its own.
namespace xaml {
void PrintTo(const GridLength& length, std::ostream* out)
{
    *out << length.Value << (length.GridUnitType == GridUnitType::Star ? "*" : length.GridUnitType == GridUnitType::Auto ? "auto" : "px");
}
}  // namespace xaml

// How star rows share the height is the grid's own business, tested with it.
TEST(GridHelpers, CountsMakeAutomaticRowsAndColumnsAndTheStarListsMarkStars)
{
    auto grid = make<xaml::Grid>();
    GridHelpers::SetRowCount(grid, 3);
    GridHelpers::SetStarRows(grid, u"1");
    EXPECT_EQ(heights(grid), (std::vector<GridLength>{auto_size, star, auto_size}));
    GridHelpers::SetStarColumns(grid, u"1");  // before the columns exist: nothing to share yet
    GridHelpers::SetColumnCount(grid, 2);
    EXPECT_EQ(widths(grid), (std::vector<GridLength>{auto_size, star})) << "a count change applies the stored list";
}

TEST(GridHelpers, AnyRunOfDigitsIsAnIndexWhateverSeparatesThem)
{
    for (const char16_t* list : {u"0,2", u"0 2", u"0;2", u"row 0 and row 2", u"0\u00B72"}) {
        auto grid = make<xaml::Grid>();
        GridHelpers::SetStarRows(grid, list);
        GridHelpers::SetRowCount(grid, 3);
        EXPECT_EQ(heights(grid), (std::vector<GridLength>{star, auto_size, star})) << foundation::to_narrow(list);
    }
}

TEST(GridHelpers, IndexesBeyondTheRowsAreIgnoredAndTheOthersStillApply)
{
    auto grid = make<xaml::Grid>();
    GridHelpers::SetRowCount(grid, 0);
    EXPECT_EQ(grid->RowDefinitions()->Size(), 0u) << "a count of 0 removes every row";
    EXPECT_NO_THROW(GridHelpers::SetStarRows(grid, u"0"));
    EXPECT_EQ(grid->RowDefinitions()->Size(), 0u);

    GridHelpers::SetStarRows(grid, u"5,0,99999999999999999999,2");
    GridHelpers::SetRowCount(grid, 3);
    EXPECT_EQ(heights(grid), (std::vector<GridLength>{star, auto_size, star}))
        << "an index past the rows or too large for an integer is skipped, not fatal";

    grid->RowDefinitions()->GetAt(1)->Height(xaml::GridLengthHelper::FromPixels(50));
    GridHelpers::SetRowCount(grid, 2);
    EXPECT_EQ(heights(grid), (std::vector<GridLength>{star, auto_size}))
        << "a new count rebuilds every row, re-applies the list and skips the index 2 now beyond";
}

TEST(GridHelpers, ANegativeCountOrAnotherElementLeavesTheRowsAlone)
{
    auto grid = make<xaml::Grid>();
    auto row = make<xaml::RowDefinition>();
    row->Height(xaml::GridLengthHelper::FromPixels(40));
    grid->RowDefinitions()->Append(row);
    GridHelpers::SetRowCount(grid, -2);
    ASSERT_EQ(grid->RowDefinitions()->Size(), 1u);
    EXPECT_EQ(grid->RowDefinitions()->GetAt(0), row) << "the rows written in markup stay";

    auto stack = make<xaml::StackPanel>();
    GridHelpers::SetRowCount(stack, 3);
    GridHelpers::SetStarRows(stack, u"1");
    EXPECT_EQ(GridHelpers::GetRowCount(stack), 3) << "stored, otherwise ignored";
    EXPECT_EQ(GridHelpers::GetStarRows(stack), u"1");
}

TEST(GridHelpers, IsAStaticClassThatMarkupKnows)
{
    const auto* factory = foundation::activation::find(u"Zintrel.GridHelpers");
    ASSERT_NE(factory, nullptr);
    EXPECT_THROW(factory->ActivateInstance(), foundation::hresult_not_implemented);

    // What the loader does with local:GridHelpers.RowCount="2" and local:GridHelpers.StarColumns="0".
    const auto* type = xaml::metadata::find_type(u"Zintrel.GridHelpers");
    ASSERT_NE(type, nullptr);
    auto grid = make<xaml::Grid>();
    for (const auto& [name, text] : {std::pair{u"ColumnCount", u"2"}, std::pair{u"StarColumns", u"0"}}) {
        const auto* member = xaml::metadata::find_member(*type, name);
        ASSERT_TRUE(member && member->attached && member->property) << foundation::to_narrow(name);
        grid->SetValue(member->property, xaml::metadata::convert_text(member->type, text));
    }
    EXPECT_EQ(widths(grid), (std::vector<GridLength>{star, auto_size}));
}
