#pragma once
// Grid: children placed in rows and columns, sized by their definitions.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Panel.h"

namespace xaml {

class Grid;

class RowDefinition final : public DependencyObject {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.RowDefinition")
    static inline constinit property_slot MinHeightProperty{u"MinHeight"};
    XAML_PROPERTY(GridLength, Height)
    // The height the grid's last layout gave the row.
    double ActualHeight() const noexcept { return m_actual; }

private:
    friend class Grid;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    std::weak_ptr<Grid> m_owner;
    double m_actual = 0;
};

class ColumnDefinition final : public DependencyObject {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ColumnDefinition")
    static inline constinit property_slot MinWidthProperty{u"MinWidth"};
    XAML_PROPERTY(GridLength, Width)
    // The width the grid's last layout gave the column.
    double ActualWidth() const noexcept { return m_actual; }

private:
    friend class Grid;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    std::weak_ptr<Grid> m_owner;
    double m_actual = 0;
};

using RowDefinitionCollection = foundation::IObservableVector<std::shared_ptr<RowDefinition>>;
using ColumnDefinitionCollection = foundation::IObservableVector<std::shared_ptr<ColumnDefinition>>;

class Grid : public Panel {
public:
    Grid();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Grid")

    XAML_ATTACHED(std::int32_t, Row)
    XAML_ATTACHED(std::int32_t, Column)
    XAML_ATTACHED(std::int32_t, RowSpan)
    XAML_ATTACHED(std::int32_t, ColumnSpan)
    static inline constinit property_slot RowSpacingProperty{u"RowSpacing"};
    static inline constinit property_slot ColumnSpacingProperty{u"ColumnSpacing"};

    const std::shared_ptr<RowDefinitionCollection>& RowDefinitions() const;
    const std::shared_ptr<ColumnDefinitionCollection>& ColumnDefinitions() const;

protected:
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class RowDefinition;
    friend class ColumnDefinition;
    struct track {
        GridLength length;
        double min = 0;
        double size = 0;
    };
    std::vector<track> tracks(bool rows) const;
    void measure_tracks(std::vector<track>& rows, std::vector<track>& columns) const;

    std::shared_ptr<RowDefinitionCollection> m_rows;
    std::shared_ptr<ColumnDefinitionCollection> m_columns;
};
}  // namespace xaml
