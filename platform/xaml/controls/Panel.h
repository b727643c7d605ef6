#pragma once
// Panels: Panel with its children, Grid with row and column definitions, StackPanel.

#include "platform/foundation/collections.h"
#include "platform/xaml/core/brush.h"
#include "platform/xaml/core/UIElement.h"

namespace xaml {

class Panel;

// The children of a panel; changing it adds and removes the children's widgets.
class UIElementCollection final : public foundation::Object {
public:
    explicit UIElementCollection(Panel* owner) : m_owner(owner) {}
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.UIElementCollection"; }

    std::uint32_t Size() const;
    std::shared_ptr<UIElement> GetAt(std::uint32_t index) const;
    bool IndexOf(const std::shared_ptr<UIElement>& element, std::uint32_t& index) const;
    void Append(const std::shared_ptr<UIElement>& element);
    void InsertAt(std::uint32_t index, const std::shared_ptr<UIElement>& element);
    void RemoveAt(std::uint32_t index);
    void Clear();

private:
    Panel* m_owner;
};

class Panel : public FrameworkElement {
public:
    Panel();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Panel"; }

    static const DependencyProperty& BackgroundProperty();
    std::shared_ptr<Brush> Background() const { return std::dynamic_pointer_cast<Brush>(GetValue(BackgroundProperty())); }
    void Background(const std::shared_ptr<Brush>& value) { SetValue(BackgroundProperty(), value); }

    const std::shared_ptr<UIElementCollection>& Children() const;

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class UIElementCollection;
    mutable std::shared_ptr<UIElementCollection> m_collection;
};

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

class StackPanel : public Panel {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.StackPanel"; }

    static const DependencyProperty& OrientationProperty();
    static const DependencyProperty& SpacingProperty();
    xaml::Orientation Orientation() const { return get_value<xaml::Orientation>(*this, OrientationProperty()); }
    void Orientation(xaml::Orientation value) { set_value(*this, OrientationProperty(), value); }
    double Spacing() const { return get_value<double>(*this, SpacingProperty()); }
    void Spacing(double value) { set_value(*this, SpacingProperty(), value); }

protected:
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

// Stacks the visible elements one after another, `spacing` apart (StackPanel, StackLayout).
foundation::Size measure_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation,
                               double spacing);
void arrange_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation, double spacing,
                   double x, double y, double width, double height);

// Attached layout properties notify the layout of the element's parent.
void invalidate_parent_layout(const std::shared_ptr<DependencyObject>& element);

}  // namespace xaml
