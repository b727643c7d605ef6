#include "platform/xaml/controls/RadioButtons.h"

#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/controls/key_filter.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <QLabel>
#include <QVBoxLayout>

namespace xaml {

using foundation::box_value;
using foundation::CollectionChange;

namespace {
constexpr double item_spacing = 4;
}  // namespace

RadioButtons::RadioButtons() : m_items(foundation::single_threaded_observable_vector<IInspectable>())
{
    const auto column = make_header_column();
    m_header = column.header;
    m_host = new QWidget(column.box);
    column.layout->addWidget(m_host);
    set_widget(column.box);
    // Arrow keys move the selection, as in a group of radio buttons.
    m_keys = new key_filter(
        [this](QObject* watched, int key) {
            const int step = key == Qt::Key_Up || key == Qt::Key_Left ? -1 : key == Qt::Key_Down || key == Qt::Key_Right ? 1 : 0;
            if (step == 0) return false;
            for (const auto& c : m_containers)
                if (c.button->widget() == watched) {
                    step_selection(*c.button, step);
                    return true;
                }
            return false;
        },
        column.box);

    auto weak = get_weak(this);
    m_items->VectorChanged([weak](const auto&, const foundation::IVectorChangedEventArgs& change) {
        if (auto self = weak.lock()) self->items_changed(change);
    });
}

RadioButtons::~RadioButtons()
{
    // Buttons given as items may outlive the list.
    for (const auto& c : m_containers) c.button->UnregisterPropertyChangedCallback(ToggleButton::IsCheckedProperty(), c.token);
}

std::shared_ptr<UIElement> RadioButtons::ContainerFromIndex(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_containers.size()) return nullptr;
    return m_containers[static_cast<std::size_t>(index)].button;
}

QWidget* RadioButtons::focus_widget() const
{
    if (auto selected = ContainerFromIndex(SelectedIndex())) return selected->widget();
    if (!m_containers.empty()) return m_containers.front().button->widget();
    return widget();
}

void RadioButtons::items_changed(const foundation::IVectorChangedEventArgs& change)
{
    const auto before = static_cast<std::uint32_t>(m_containers.size());
    const std::uint32_t index = change.Index();
    switch (change.CollectionChange()) {
    case CollectionChange::Reset:
        while (!m_containers.empty()) remove_container(static_cast<std::uint32_t>(m_containers.size() - 1));
        for (std::uint32_t i = 0; i < m_items->Size(); ++i) add_container(i);
        break;
    case CollectionChange::ItemInserted: add_container(index); break;
    case CollectionChange::ItemRemoved: remove_container(index); break;
    case CollectionChange::ItemChanged:
        remove_container(index);
        add_container(index);
        break;
    }

    const std::int32_t selected = selection_after_change(SelectedIndex(), before, change);
    const bool selectionShown = selected >= 0 && static_cast<std::size_t>(selected) < m_containers.size();
    const bool arrived = change.CollectionChange() == CollectionChange::ItemInserted ||
                         change.CollectionChange() == CollectionChange::ItemChanged;
    if (selected != SelectedIndex()) {
        SelectedIndex(selected);
    } else if (!selectionShown && arrived && m_containers[index].button->IsChecked() == true) {
        // A button that arrives checked is the selection when there is none.
        SelectedIndex(static_cast<std::int32_t>(index));
    } else {
        selection_moved();
    }
}

void RadioButtons::add_container(std::uint32_t index)
{
    const IInspectable item = m_items->GetAt(index);
    auto button = std::dynamic_pointer_cast<RadioButton>(item);
    if (!button) {
        button = foundation::make<RadioButton>();
        button->Content(item);
    }
    attach_child(button, index);  // fails for a button that has a parent elsewhere
    auto weak = get_weak(this);
    const auto token = button->RegisterPropertyChangedCallback(
        ToggleButton::IsCheckedProperty(), [weak](const std::shared_ptr<DependencyObject>& sender, const DependencyProperty&) {
            if (auto self = weak.lock()) self->container_toggled(static_cast<const RadioButton&>(*sender));
        });
    m_containers.insert(m_containers.begin() + index, {button, token});
    button->widget()->installEventFilter(m_keys);
}

void RadioButtons::remove_container(std::uint32_t index)
{
    const container c = m_containers[index];
    m_containers.erase(m_containers.begin() + index);
    c.button->UnregisterPropertyChangedCallback(ToggleButton::IsCheckedProperty(), c.token);
    c.button->widget()->removeEventFilter(m_keys);
    detach_child(c.button);
}

void RadioButtons::container_toggled(const RadioButton& button)
{
    const auto found = std::find_if(m_containers.begin(), m_containers.end(),
                                    [&](const container& c) { return c.button.get() == &button; });
    if (found == m_containers.end()) return;
    const auto index = static_cast<std::int32_t>(found - m_containers.begin());
    if (button.IsChecked() == true) {
        if (index != SelectedIndex()) SelectedIndex(index);
    } else if (index == SelectedIndex()) {
        // Unchecked by another button of its group, which is checked by now, or on its own.
        const auto checked = std::find_if(m_containers.begin(), m_containers.end(),
                                          [](const container& c) { return c.button->IsChecked() == true; });
        SelectedIndex(checked == m_containers.end() ? -1 : static_cast<std::int32_t>(checked - m_containers.begin()));
    }
}

void RadioButtons::selection_moved()
{
    const std::int32_t selected = SelectedIndex();
    auto shown = std::dynamic_pointer_cast<RadioButton>(ContainerFromIndex(selected));
    if (shown) shown->IsChecked(true);
    for (const auto& c : m_containers)
        if (c.button != shown && c.button->IsChecked() == true) c.button->IsChecked(false);

    IInspectable now = shown ? m_items->GetAt(static_cast<std::uint32_t>(selected)) : nullptr;
    if (now == m_selectedItem) return;
    auto args = selection_change(m_selectedItem, now);
    args.set_original_source(strong_self());
    m_selectedItem = std::move(now);
    m_SelectionChanged(strong_self(), args);
}

void RadioButtons::step_selection(const RadioButton& from, int step)
{
    auto index = std::find_if(m_containers.begin(), m_containers.end(),
                              [&](const container& c) { return c.button.get() == &from; }) - m_containers.begin();
    for (index += step; index >= 0 && static_cast<std::size_t>(index) < m_containers.size(); index += step) {
        const auto& button = m_containers[static_cast<std::size_t>(index)].button;
        if (!button->IsEnabled()) continue;
        button->Focus(FocusState::Keyboard);
        SelectedIndex(static_cast<std::int32_t>(index));
        return;
    }
}

foundation::Size RadioButtons::measure_override() const
{
    foundation::Size size;
    int shown = 0;
    for (const auto& c : m_containers) {
        if (c.button->Visibility() == Visibility::Collapsed) continue;
        const auto s = c.button->desired_size();
        size.Width = std::max(size.Width, s.Width);
        size.Height += s.Height;
        ++shown;
    }
    if (shown > 1) size.Height += static_cast<float>(item_spacing * (shown - 1));
    return size;
}

void RadioButtons::arrange_override(double x, double y, double width, double)
{
    for (const auto& c : m_containers) {
        if (c.button->Visibility() == Visibility::Collapsed) continue;
        const double height = c.button->desired_size().Height;
        c.button->arrange_in(x, y, width, height);
        y += height + item_spacing;
    }
}

void RadioButtons::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == SelectedIndexProperty()) {
        selection_moved();
    } else if (args.Property() == HeaderProperty()) {
        show_header(m_header, Header(), m_host);
        invalidate_layout();
    }
}

void register_radio_buttons()
{
    metadata::type_builder(RadioButtons::class_name, Control::class_name)
        .activatable<RadioButtons>()
        .property(RadioButtons::SelectedIndexProperty, {u"Int32"}, box_value(std::int32_t{-1}))
        .property(RadioButtons::HeaderProperty, {u"Object"}, nullptr)
        .collection(u"Items", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<RadioButtons>(target)->Items()->Append(value);
        })
        .content(u"Items");
}

}  // namespace xaml
