#pragma once
// Zintrel.GridHelpers: attached properties that give a Grid a number of automatic rows or
// columns (RowCount, ColumnCount) and make the ones a list names star-sized (StarRows,
// StarColumns: every run of decimal digits is a zero-based index). A static class.

#include "platform/xaml/controls/Grid.h"

namespace Zintrel {

class GridHelpers {
public:
    GridHelpers() = delete;

    // A negative count (-1, the default) leaves the rows or columns alone.
    static const xaml::DependencyProperty& RowCountProperty();
    static const xaml::DependencyProperty& ColumnCountProperty();
    static const xaml::DependencyProperty& StarRowsProperty();
    static const xaml::DependencyProperty& StarColumnsProperty();

    static std::int32_t GetRowCount(const std::shared_ptr<xaml::DependencyObject>& element);
    static void SetRowCount(const std::shared_ptr<xaml::DependencyObject>& element, std::int32_t value);
    static std::int32_t GetColumnCount(const std::shared_ptr<xaml::DependencyObject>& element);
    static void SetColumnCount(const std::shared_ptr<xaml::DependencyObject>& element, std::int32_t value);
    static foundation::hstring GetStarRows(const std::shared_ptr<xaml::DependencyObject>& element);
    static void SetStarRows(const std::shared_ptr<xaml::DependencyObject>& element, const foundation::hstring& value);
    static foundation::hstring GetStarColumns(const std::shared_ptr<xaml::DependencyObject>& element);
    static void SetStarColumns(const std::shared_ptr<xaml::DependencyObject>& element, const foundation::hstring& value);

private:
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
