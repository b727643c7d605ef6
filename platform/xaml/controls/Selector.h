#pragma once
// Selector: a list control with items and at most one selected by index (-1 for none).
//
// The index is what counts: one set beyond the items waits for them, and a selected item keeps
// its selection when items move in front of it; removing it, or resetting the items, selects
// nothing.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Control.h"

#include <vector>

namespace xaml {

using ItemCollection = foundation::IObservableVector<IInspectable>;

class SelectionChangedEventArgs : public RoutedEventArgs {
public:
    SelectionChangedEventArgs(std::vector<IInspectable> removed, std::vector<IInspectable> added)
        : m_removed(std::move(removed)), m_added(std::move(added))
    {
    }
    const std::vector<IInspectable>& RemovedItems() const noexcept { return m_removed; }
    const std::vector<IInspectable>& AddedItems() const noexcept { return m_added; }

private:
    std::vector<IInspectable> m_removed;
    std::vector<IInspectable> m_added;
};

using SelectionChangedEventHandler = foundation::delegate<IInspectable, SelectionChangedEventArgs>;

// The arguments for a selection moving from one item to another; null is no item.
SelectionChangedEventArgs selection_change(const IInspectable& before, const IInspectable& after);

// The selected index after the items changed under it (`sizeBefore` items before the change).
std::int32_t selection_after_change(std::int32_t selected, std::uint32_t sizeBefore,
                                    const foundation::IVectorChangedEventArgs& change);

class Selector : public Control {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Primitives.Selector")

    XAML_PROPERTY(std::int32_t, SelectedIndex)

    const std::shared_ptr<ItemCollection>& Items() const noexcept { return m_items; }

    XAML_EVENT(SelectionChanged, SelectionChangedEventHandler)

protected:
    foundation::event<SelectionChangedEventHandler> m_SelectionChanged;

    Selector();
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // The widget shows the items again after a change.
    virtual void show_items(const foundation::IVectorChangedEventArgs& change) = 0;
    // The widget shows the selection: an index of the items, or -1 for none.
    virtual void show_selection(std::int32_t index) = 0;

private:
    void items_changed(const foundation::IVectorChangedEventArgs& change);
    // Shows the selected index and raises SelectionChanged when it names another item.
    void selection_moved();

    std::shared_ptr<ItemCollection> m_items;
    IInspectable m_selectedItem;
    std::uint32_t m_count = 0;
};

}  // namespace xaml
