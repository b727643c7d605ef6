#pragma once
// Grid: children placed in rows and columns, sized by their definitions.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Panel.h"

namespace xaml {

class Grid;

class RowDefinition final : public DependencyObject {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.RowDefinition"; }
    static const DependencyProperty& HeightProperty();
    static const DependencyProperty& MinHeightProperty();
    GridLength Height() const { return get_value<GridLength>(*this, HeightProperty()); }
    void Height(const GridLength& value) { set_value(*this, HeightProperty(), value); }
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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.ColumnDefinition"; }
    static const DependencyProperty& WidthProperty();
    static const DependencyProperty& MinWidthProperty();
    GridLength Width() const { return get_value<GridLength>(*this, WidthProperty()); }
    void Width(const GridLength& value) { set_value(*this, WidthProperty(), value); }
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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Grid"; }

    static const DependencyProperty& RowProperty();
    static const DependencyProperty& ColumnProperty();
    static const DependencyProperty& RowSpanProperty();
    static const DependencyProperty& ColumnSpanProperty();
    static const DependencyProperty& RowSpacingProperty();
    static const DependencyProperty& ColumnSpacingProperty();
    static std::int32_t GetRow(const std::shared_ptr<UIElement>& element);
    static void SetRow(const std::shared_ptr<UIElement>& element, std::int32_t value);
    static std::int32_t GetColumn(const std::shared_ptr<UIElement>& element);
    static void SetColumn(const std::shared_ptr<UIElement>& element, std::int32_t value);
    static void SetColumnSpan(const std::shared_ptr<UIElement>& element, std::int32_t value);

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
