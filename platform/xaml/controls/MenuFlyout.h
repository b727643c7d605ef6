#pragma once
// MenuFlyout: a context menu of MenuFlyoutItems, shown as a Qt menu.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Control.h"

#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace xaml {

// The keys of Windows.System that accelerators name in markup; the values are the platform's.
enum class VirtualKey : std::int32_t { None = 0, Enter = 13, Escape = 27, Insert = 45, Delete = 46, C = 67, V = 86, X = 88 };
enum class VirtualKeyModifiers : std::uint32_t { None = 0, Control = 1, Menu = 2, Shift = 4, Windows = 8 };

// A key with modifiers that runs a menu item without opening its menu, while the keyboard focus
// is in the element that owns the menu.
class KeyboardAccelerator final : public DependencyObject {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Input.KeyboardAccelerator")

    XAML_PROPERTY(xaml::VirtualKey, Key)
    XAML_PROPERTY(VirtualKeyModifiers, Modifiers)
};

// An entry of a menu; each one owns the Qt action that shows it.
class MenuFlyoutItemBase : public Control {
public:
    ~MenuFlyoutItemBase() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.MenuFlyoutItemBase")

    QAction* action() const noexcept { return m_action; }

protected:
    MenuFlyoutItemBase();
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    QAction* m_action;
};

class MenuFlyoutItem final : public MenuFlyoutItemBase {
public:
    MenuFlyoutItem();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem")

    XAML_PROPERTY(hstring, Text)

    // Raised when the user chooses an enabled item.
    XAML_EVENT(Click, RoutedEventHandler)

    const std::vector<std::shared_ptr<KeyboardAccelerator>>& KeyboardAccelerators() const noexcept { return m_accelerators; }
    void add_accelerator(const std::shared_ptr<KeyboardAccelerator>& accelerator);
    // Whether a key with Qt modifiers is one of this item's accelerators.
    bool has_accelerator(int qtKey, int qtModifiers) const;

protected:
    foundation::event<RoutedEventHandler> m_Click;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    void show_accelerators();
    std::vector<std::shared_ptr<KeyboardAccelerator>> m_accelerators;
};

using MenuFlyoutItemCollection = foundation::IObservableVector<std::shared_ptr<MenuFlyoutItemBase>>;

class MenuFlyout final : public FlyoutBase {
public:
    MenuFlyout();
    ~MenuFlyout() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.MenuFlyout")

    const std::shared_ptr<MenuFlyoutItemCollection>& Items() const noexcept { return m_items; }

    // Raises Opening, then shows the items as they are at that moment; returns at once.
    void ShowAt(const std::shared_ptr<FrameworkElement>& target, foundation::Point position) override;
    // Raises Opening too, so the item is enabled or not as the open menu would show it.
    bool invoke_accelerator(int qtKey, int qtModifiers) override;
    void focus_first_item() override;

    XAML_EVENT(Opening, foundation::EventHandler<IInspectable>)

    // The Qt menu of the last showing, null before the first.
    QMenu* menu() const noexcept;

protected:
    foundation::event<foundation::EventHandler<IInspectable>> m_Opening;

private:
    struct qt_parts;  // the Qt menu, kept out of this header
    std::shared_ptr<MenuFlyoutItemCollection> m_items;
    std::unique_ptr<qt_parts> m_qt;
};

}  // namespace xaml
