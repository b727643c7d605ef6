#include "platform/xaml/controls/Selector.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

namespace xaml {

using foundation::box_value;
using foundation::CollectionChange;

std::int32_t selection_after_change(std::int32_t selected, std::uint32_t sizeBefore,
                                    const foundation::IVectorChangedEventArgs& change)
{
    // No selection, or one still waiting for its item, stays as it is.
    if (selected < 0 || static_cast<std::uint32_t>(selected) >= sizeBefore) return selected;
    const auto index = static_cast<std::int32_t>(change.Index());
    switch (change.CollectionChange()) {
    case CollectionChange::Reset: return -1;
    case CollectionChange::ItemInserted: return index <= selected ? selected + 1 : selected;
    case CollectionChange::ItemRemoved: return index == selected ? -1 : index < selected ? selected - 1 : selected;
    case CollectionChange::ItemChanged: break;
    }
    return selected;
}

SelectionChangedEventArgs selection_change(const IInspectable& before, const IInspectable& after)
{
    auto one = [](const IInspectable& item) { return item ? std::vector{item} : std::vector<IInspectable>{}; };
    return SelectionChangedEventArgs(one(before), one(after));
}

Selector::Selector() : m_items(foundation::single_threaded_observable_vector<IInspectable>())
{
    auto weak = get_weak(this);
    m_items->VectorChanged([weak](const auto&, const foundation::IVectorChangedEventArgs& change) {
        if (auto self = weak.lock()) self->items_changed(change);
    });
}

void Selector::items_changed(const foundation::IVectorChangedEventArgs& change)
{
    const std::uint32_t before = std::exchange(m_count, m_items->Size());
    show_items(change);
    const std::int32_t selected = selection_after_change(SelectedIndex(), before, change);
    if (selected != SelectedIndex()) SelectedIndex(selected);
    else selection_moved();
}

void Selector::selection_moved()
{
    const std::int32_t index = SelectedIndex();
    const bool shown = index >= 0 && static_cast<std::uint32_t>(index) < m_items->Size();
    show_selection(shown ? index : -1);
    IInspectable now = shown ? m_items->GetAt(static_cast<std::uint32_t>(index)) : nullptr;
    if (now == m_selectedItem) return;
    auto args = selection_change(m_selectedItem, now);
    args.set_original_source(strong_self());
    m_selectedItem = std::move(now);
    m_SelectionChanged(strong_self(), args);
}

void Selector::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == SelectedIndexProperty()) selection_moved();
}

void register_selector()
{
    metadata::type_builder(Selector::class_name, Control::class_name)
        .property(Selector::SelectedIndexProperty, {u"Int32"}, box_value(std::int32_t{-1}))
        .collection(u"Items", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Selector>(target)->Items()->Append(value);
        })
        .content(u"Items");
}

}  // namespace xaml
