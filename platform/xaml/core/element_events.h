#pragma once
// Watches an element's widgets for what the element reports as events.

#include <QObject>

namespace xaml {

class UIElement;
class FlyoutBase;

// The dynamic property of an element's own widget that points back at the element.
inline constexpr const char* element_property = "xaml_element";

class element_events final : public QObject {
public:
    explicit element_events(UIElement* owner) : m_owner(owner) {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool filter(QObject* watched, QEvent* event);
    void open_menu_from_keyboard(FlyoutBase& flyout);

    UIElement* m_owner;
};

}  // namespace xaml
