#pragma once
// Zintrel.GridHelpers: attached properties that give a Grid a number of automatic rows or
// columns (RowCount, ColumnCount) and make the ones a list names star-sized (StarRows,
// StarColumns: every run of decimal digits is a zero-based index). A static class.

#include "platform/xaml/controls/Grid.h"

namespace Zintrel {

// Registers the class for markup and activation.
void register_grid_helpers();

class GridHelpers {
public:
    GridHelpers() = delete;

    static constexpr std::u16string_view class_name = u"Zintrel.GridHelpers";

    // A negative count (-1, the default) leaves the rows or columns alone.
    XAML_ATTACHED(std::int32_t, RowCount)
    XAML_ATTACHED(std::int32_t, ColumnCount)
    XAML_ATTACHED(foundation::hstring, StarRows)
    XAML_ATTACHED(foundation::hstring, StarColumns)

private:
    friend void register_grid_helpers();
    static void OnRowCountChanged(const std::shared_ptr<xaml::DependencyObject>& element,
                                  const xaml::DependencyPropertyChangedEventArgs& args);
    static void OnColumnCountChanged(const std::shared_ptr<xaml::DependencyObject>& element,
                                     const xaml::DependencyPropertyChangedEventArgs& args);
    static void OnStarRowsChanged(const std::shared_ptr<xaml::DependencyObject>& element,
                                  const xaml::DependencyPropertyChangedEventArgs& args);
    static void OnStarColumnsChanged(const std::shared_ptr<xaml::DependencyObject>& element,
                                     const xaml::DependencyPropertyChangedEventArgs& args);
    // An index beyond the last row or column, or too large for an integer, is ignored; the
    // others in the list still apply.
    static void ApplyStarRows(const std::shared_ptr<xaml::Grid>& grid);
    static void ApplyStarColumns(const std::shared_ptr<xaml::Grid>& grid);
};

}  // namespace Zintrel
