#include "app/GridHelpers.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/core/metadata.h"

#include <regex>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace Zintrel {

using foundation::box_value;
using foundation::hstring;
using xaml::DependencyObject;
using xaml::DependencyProperty;
using xaml::DependencyPropertyChangedEventArgs;
using xaml::PropertyMetadata;

namespace {

constexpr xaml::GridLength star_share{1.0, xaml::GridUnitType::Star};

// Every run of decimal digits in the list as an index, left to right. Digits are ASCII, so a
// narrow copy in which every other code unit is a blank holds the same runs as the UTF-16 text.
std::vector<std::size_t> star_indexes(const hstring& list)
{
    static const std::regex digits("(\\d+)");
    std::string text;
    for (char16_t c : list) text.push_back(c < 0x80 ? static_cast<char>(c) : ' ');
    std::vector<std::size_t> indexes;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), digits); it != std::sregex_iterator(); ++it) {
        try {
            indexes.push_back(static_cast<std::size_t>(std::stoi((*it)[1].str())));
        } catch (const std::out_of_range&) {
            // Far beyond any row or column.
        }
    }
    return indexes;
}

// Count new automatic definitions in place of the old ones.
template <class Definition, class Collection, class SetLength>
void rebuild(const std::shared_ptr<Collection>& definitions, std::int32_t count, SetLength set_length)
{
    std::vector<std::shared_ptr<Definition>> fresh;
    fresh.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        fresh.push_back(foundation::make<Definition>());
        set_length(*fresh.back(), xaml::GridLengthHelper::Auto());
    }
    definitions->ReplaceAll(std::span<const std::shared_ptr<Definition>>(fresh));
}

template <class Collection, class SetLength>
void apply_stars(const std::shared_ptr<Collection>& definitions, const hstring& list, SetLength set_length)
{
    for (const std::size_t index : star_indexes(list))
        if (index < definitions->Size()) set_length(*definitions->GetAt(static_cast<std::uint32_t>(index)), star_share);
}

void set_height(xaml::RowDefinition& row, const xaml::GridLength& length) { row.Height(length); }
void set_width(xaml::ColumnDefinition& column, const xaml::GridLength& length) { column.Width(length); }

}  // namespace

void GridHelpers::OnRowCountChanged(const std::shared_ptr<DependencyObject>& element, const DependencyPropertyChangedEventArgs& args)
{
    const auto count = foundation::unbox_value<std::int32_t>(args.NewValue());
    const auto grid = std::dynamic_pointer_cast<xaml::Grid>(element);
    if (!grid || count < 0) return;
    rebuild<xaml::RowDefinition>(grid->RowDefinitions(), count, set_height);
    ApplyStarRows(grid);
}

void GridHelpers::OnColumnCountChanged(const std::shared_ptr<DependencyObject>& element,
                                       const DependencyPropertyChangedEventArgs& args)
{
    const auto count = foundation::unbox_value<std::int32_t>(args.NewValue());
    const auto grid = std::dynamic_pointer_cast<xaml::Grid>(element);
    if (!grid || count < 0) return;
    rebuild<xaml::ColumnDefinition>(grid->ColumnDefinitions(), count, set_width);
    ApplyStarColumns(grid);
}

void GridHelpers::OnStarRowsChanged(const std::shared_ptr<DependencyObject>& element, const DependencyPropertyChangedEventArgs& args)
{
    const auto grid = std::dynamic_pointer_cast<xaml::Grid>(element);
    const auto list = foundation::unbox_value<hstring>(args.NewValue());
    if (grid && !list.empty()) ApplyStarRows(grid);
}

void GridHelpers::OnStarColumnsChanged(const std::shared_ptr<DependencyObject>& element,
                                       const DependencyPropertyChangedEventArgs& args)
{
    const auto grid = std::dynamic_pointer_cast<xaml::Grid>(element);
    const auto list = foundation::unbox_value<hstring>(args.NewValue());
    if (grid && !list.empty()) ApplyStarColumns(grid);
}

void GridHelpers::ApplyStarRows(const std::shared_ptr<xaml::Grid>& grid)
{
    apply_stars(grid->RowDefinitions(), GetStarRows(grid), set_height);
}

void GridHelpers::ApplyStarColumns(const std::shared_ptr<xaml::Grid>& grid)
{
    apply_stars(grid->ColumnDefinitions(), GetStarColumns(grid), set_width);
}

// A class without instances: its factory offers the statics only.
void register_grid_helpers()
{
    const xaml::TypeName number{u"Int32"}, text{u"String"};
    xaml::metadata::type_builder(GridHelpers::class_name, u"")
        .static_class()
        .attached(GridHelpers::RowCountProperty, number, box_value(std::int32_t{-1}), &GridHelpers::OnRowCountChanged)
        .attached(GridHelpers::ColumnCountProperty, number, box_value(std::int32_t{-1}), &GridHelpers::OnColumnCountChanged)
        .attached(GridHelpers::StarRowsProperty, text, box_value(hstring{}), &GridHelpers::OnStarRowsChanged)
        .attached(GridHelpers::StarColumnsProperty, text, box_value(hstring{}), &GridHelpers::OnStarColumnsChanged);
}

namespace {

const bool registered = (register_grid_helpers(), true);

}  // namespace

}  // namespace Zintrel
