#include "platform/xaml/markup/ItemsRepeater.h"

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/converters.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/markup/registration.h"

#include <QWidget>

#include <algorithm>

namespace xaml {

using foundation::box_value;

namespace {
}  // namespace

// ---- StackLayout ----

// ---- ItemsRepeater ----

ItemsRepeater::ItemsRepeater() { set_widget(new QWidget); }

ItemsRepeater::~ItemsRepeater()
{
    if (m_vector) m_vector->BindableVectorChanged(m_vectorToken);
    layout_changed(Layout(), nullptr);
}

std::shared_ptr<UIElement> ItemsRepeater::TryGetElement(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size()) return nullptr;
    return m_items[static_cast<std::size_t>(index)].element;
}

void ItemsRepeater::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == ItemsSourceProperty()) {
        source_changed(args.NewValue());
    } else if (p == ItemTemplateProperty()) {
        if (args.NewValue() && !std::dynamic_pointer_cast<DataTemplate>(args.NewValue()))
            throw foundation::hresult_invalid_argument(u"The item template of an ItemsRepeater is a DataTemplate");
        reconcile(false);
    } else if (p == LayoutProperty()) {
        layout_changed(args.OldValue(), args.NewValue());
        invalidate_layout();
    }
}

void ItemsRepeater::source_changed(const IInspectable& source)
{
    if (m_vector) m_vector->BindableVectorChanged(m_vectorToken);
    m_source = nullptr;
    m_vector = nullptr;
    m_vectorToken = {};
    auto* vector = dynamic_cast<foundation::IBindableObservableVector*>(source.get());
    if (source && !vector) {
        reconcile(true);
        throw foundation::hresult_invalid_argument(u"The items source of an ItemsRepeater is an observable vector");
    }
    if (vector) {
        m_source = source;
        m_vector = vector;
        m_vectorToken = vector->BindableVectorChanged(
            [weak = get_weak(this)](const IInspectable&, const foundation::IVectorChangedEventArgs& args) {
                if (auto self = weak.lock()) self->vector_changed(args);
            });
    }
    reconcile(true);
}

void ItemsRepeater::layout_changed(const IInspectable& before, const IInspectable& now)
{
    if (auto old = std::dynamic_pointer_cast<StackLayout>(before)) {
        if (m_layoutTokens.size() == 2) {
            old->UnregisterPropertyChangedCallback(StackLayout::OrientationProperty(), m_layoutTokens[0]);
            old->UnregisterPropertyChangedCallback(StackLayout::SpacingProperty(), m_layoutTokens[1]);
        }
    }
    m_layoutTokens.clear();
    if (auto layout = std::dynamic_pointer_cast<StackLayout>(now)) {
        auto relayout = [weak = get_weak(this)](const std::shared_ptr<DependencyObject>&, const DependencyProperty&) {
            if (auto self = weak.lock()) self->invalidate_layout();
        };
        m_layoutTokens.push_back(layout->RegisterPropertyChangedCallback(StackLayout::OrientationProperty(), relayout));
        m_layoutTokens.push_back(layout->RegisterPropertyChangedCallback(StackLayout::SpacingProperty(), relayout));
    }
}

ItemsRepeater::item ItemsRepeater::make_item(const IInspectable& data, std::int32_t index)
{
    item made{data, nullptr, nullptr};
    if (auto tmpl = std::dynamic_pointer_cast<DataTemplate>(ItemTemplate())) {
        auto instance = tmpl->instantiate(std::static_pointer_cast<FrameworkElement>(strong_self()));
        made.element = std::move(instance.root);
        made.connector = std::move(instance.connector);
    } else {
        auto text = foundation::make<TextBlock>();
        text->Text(content_text(data));
        made.element = std::move(text);
    }
    auto component = XamlBindingHelper::GetDataTemplateComponent(made.element);
    if (!component) component = std::dynamic_pointer_cast<IDataTemplateComponent>(made.connector);
    if (component) {
        // The bindings take the item in phases; none asks for the data context afterwards.
        for (std::int32_t phase = 0; phase >= 0;) {
            std::int32_t next = -1;
            component->ProcessBindings(data, index, phase, next);
            phase = next > phase ? next : -1;
        }
    }
    if (auto element = std::dynamic_pointer_cast<FrameworkElement>(made.element)) element->DataContext(data);
    return made;
}

namespace {

void recycle(const std::shared_ptr<UIElement>& element)
{
    if (auto component = XamlBindingHelper::GetDataTemplateComponent(element)) component->Recycle();
}

}  // namespace

void ItemsRepeater::insert_item(std::uint32_t index)
{
    auto made = make_item(m_vector->GetObjectAt(index), static_cast<std::int32_t>(index));
    attach_child(made.element, index);
    m_items.insert(m_items.begin() + index, std::move(made));
}

void ItemsRepeater::remove_item(std::uint32_t index)
{
    const auto removed = m_items[index];
    m_items.erase(m_items.begin() + index);
    recycle(removed.element);
    detach_child(removed.element);
}

void ItemsRepeater::vector_changed(const foundation::IVectorChangedEventArgs& args)
{
    const auto index = args.Index();
    const auto count = m_vector ? m_vector->Size() : 0;
    switch (args.CollectionChange()) {
    case foundation::CollectionChange::ItemInserted:
        if (index <= m_items.size() && count == m_items.size() + 1) return insert_item(index);
        break;
    case foundation::CollectionChange::ItemRemoved:
        if (index < m_items.size() && count + 1 == m_items.size()) return remove_item(index);
        break;
    case foundation::CollectionChange::ItemChanged:
        if (index < m_items.size() && count == m_items.size()) {
            remove_item(index);
            return insert_item(index);
        }
        break;
    case foundation::CollectionChange::Reset:
        break;
    }
    // A reset, or a change that does not fit what is shown.
    reconcile(true);
}

void ItemsRepeater::reconcile(bool keepElements)
{
    std::vector<IInspectable> data;
    if (m_vector)
        for (std::uint32_t i = 0; i < m_vector->Size(); ++i) data.push_back(m_vector->GetObjectAt(i));

    // New elements are made before anything shown changes, so a failing template leaves it as it was.
    std::vector<bool> kept(m_items.size(), false);
    std::vector<item> next;
    next.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::size_t match = m_items.size();
        if (keepElements)
            for (std::size_t j = 0; j < m_items.size() && match == m_items.size(); ++j)
                if (!kept[j] && foundation::value_equals(m_items[j].data, data[i])) match = j;
        if (match < m_items.size()) {
            kept[match] = true;
            next.push_back(m_items[match]);
        } else {
            next.push_back(make_item(data[i], static_cast<std::int32_t>(i)));
        }
    }

    for (std::size_t j = 0; j < m_items.size(); ++j) {
        if (kept[j]) continue;
        recycle(m_items[j].element);
        detach_child(m_items[j].element);
    }
    m_items = std::move(next);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const auto& element = m_items[i].element;
        const auto& children = visual_children();
        if (i < children.size() && children[i] == element) continue;
        if (std::find(children.begin(), children.end(), element) != children.end()) detach_child(element);
        attach_child(element, i);
    }
}

foundation::Size ItemsRepeater::measure_override() const
{
    const auto layout = std::dynamic_pointer_cast<StackLayout>(Layout());
    return measure_stack(visual_children(), layout ? layout->Orientation() : xaml::Orientation::Vertical,
                         layout ? layout->Spacing() : 0.0);
}

void ItemsRepeater::arrange_override(double x, double y, double width, double height)
{
    const auto layout = std::dynamic_pointer_cast<StackLayout>(Layout());
    arrange_stack(visual_children(), layout ? layout->Orientation() : xaml::Orientation::Vertical,
                  layout ? layout->Spacing() : 0.0, x, y, width, height);
}

void register_items_repeater()
{
    metadata::type_builder(Layout::class_name, u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(StackLayout::class_name, Layout::class_name)
        .activatable<StackLayout>()
        .property(StackLayout::OrientationProperty, {u"Microsoft.UI.Xaml.Controls.Orientation"}, box_value(xaml::Orientation::Vertical))
        .property(StackLayout::SpacingProperty, {u"Double"}, box_value(0.0));
    metadata::type_builder(ItemsRepeater::class_name, FrameworkElement::class_name)
        .activatable<ItemsRepeater>()
        .property(ItemsRepeater::ItemsSourceProperty, {u"Object"}, nullptr)
        .property(ItemsRepeater::ItemTemplateProperty, {u"Object"}, nullptr)
        .property(ItemsRepeater::LayoutProperty, {u"Microsoft.UI.Xaml.Controls.Layout"}, nullptr)
        .content(u"ItemTemplate");
}

}  // namespace xaml
