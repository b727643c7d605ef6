#pragma once
// RadioButtons: a column of radio buttons under an optional header, one of them selected.

#include "platform/xaml/controls/Selector.h"
#include "platform/xaml/controls/ToggleButton.h"

class QLabel;

namespace xaml {

class key_filter;

// Items are RadioButtons, shown as they are, or other values, each shown by a RadioButton of
// its own with the value as content. The selected index and the checked button follow each
// other both ways; an index set beyond the items waits for them.
class RadioButtons final : public Control {
public:
    RadioButtons();
    ~RadioButtons() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.RadioButtons")

    XAML_PROPERTY(std::int32_t, SelectedIndex)
    XAML_PROPERTY(IInspectable, Header)

    const std::shared_ptr<ItemCollection>& Items() const noexcept { return m_items; }
    // The radio button that shows the item at an index; null outside the items.
    std::shared_ptr<UIElement> ContainerFromIndex(std::int32_t index) const;

    XAML_EVENT(SelectionChanged, SelectionChangedEventHandler)

protected:
    foundation::event<SelectionChangedEventHandler> m_SelectionChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* children_host() const override { return m_host; }
    QWidget* focus_widget() const override;
    bool is_tab_group() const override { return true; }
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    struct container {
        std::shared_ptr<RadioButton> button;
        std::int64_t token;
    };
    void items_changed(const foundation::IVectorChangedEventArgs& change);
    void add_container(std::uint32_t index);
    void remove_container(std::uint32_t index);
    void container_toggled(const RadioButton& button);
    // Checks the selected item's button, unchecks the others, and raises SelectionChanged when
    // the selection names another item.
    void selection_moved();
    // Moves the selection to the next enabled button before or after one, if there is one.
    void step_selection(const RadioButton& from, int step);

    std::shared_ptr<ItemCollection> m_items;
    std::vector<container> m_containers;
    IInspectable m_selectedItem;
    QLabel* m_header = nullptr;
    QWidget* m_host = nullptr;
    key_filter* m_keys = nullptr;
};

}  // namespace xaml
