#pragma once
// ItemsRepeater: one element per item of an observable vector, made from a data template and
// stacked by a StackLayout.

#include "platform/foundation/collections.h"
#include "platform/xaml/markup/DataTemplate.h"

namespace xaml {

class Layout : public DependencyObject {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Layout")

protected:
    Layout() = default;
};

class StackLayout final : public Layout {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.StackLayout")

    XAML_PROPERTY(xaml::Orientation, Orientation)
    XAML_PROPERTY(double, Spacing)
};

class ItemsRepeater final : public FrameworkElement {
public:
    ItemsRepeater();
    ~ItemsRepeater() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ItemsRepeater")

    static inline constinit property_slot LayoutProperty{u"Layout"};

    // An IBindableObservableVector (such as any IObservableVector), or null.
    XAML_PROPERTY(IInspectable, ItemsSource)
    // A DataTemplate; without one each item shows as text.
    XAML_PROPERTY(IInspectable, ItemTemplate)
    // Null stacks the items vertically without spacing.
    std::shared_ptr<xaml::Layout> Layout() const { return std::dynamic_pointer_cast<xaml::Layout>(GetValue(LayoutProperty())); }
    void Layout(const std::shared_ptr<xaml::Layout>& value) { SetValue(LayoutProperty(), value); }

    // The element of the item at the index; null when there is none.
    std::shared_ptr<UIElement> TryGetElement(std::int32_t index) const;

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    struct item {
        IInspectable data;
        std::shared_ptr<UIElement> element;
        std::shared_ptr<IComponentConnector> connector;  // the binding object the template gave the element
    };

    void source_changed(const IInspectable& source);
    void layout_changed(const IInspectable& before, const IInspectable& now);
    void vector_changed(const foundation::IVectorChangedEventArgs& args);
    // Brings the elements in line with the source, keeping the elements of items still there.
    void reconcile(bool keepElements);
    item make_item(const IInspectable& data, std::int32_t index);
    void insert_item(std::uint32_t index);
    void remove_item(std::uint32_t index);

    IInspectable m_source;
    foundation::IBindableObservableVector* m_vector = nullptr;
    foundation::event_token m_vectorToken;
    std::vector<std::int64_t> m_layoutTokens;
    std::vector<item> m_items;
};

}  // namespace xaml
