#pragma once
// MenuFlyout: a context menu of MenuFlyoutItems, shown as a Qt menu.

#include "platform/foundation/collections.h"
#include "platform/xaml/controls/Control.h"

#include <memory>

class QAction;
class QMenu;

namespace xaml {

// An entry of a menu; each one owns the Qt action that shows it.
class MenuFlyoutItemBase : public Control {
public:
    ~MenuFlyoutItemBase() override;
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.MenuFlyoutItemBase"; }

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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem"; }

    static const DependencyProperty& TextProperty();
    hstring Text() const { return get_value<hstring>(*this, TextProperty()); }
    void Text(const hstring& value) { set_value(*this, TextProperty(), value); }

    // Raised when the user chooses an enabled item.
    XAML_EVENT(Click, RoutedEventHandler)

protected:
    foundation::event<RoutedEventHandler> m_Click;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

using MenuFlyoutItemCollection = foundation::IObservableVector<std::shared_ptr<MenuFlyoutItemBase>>;

class MenuFlyout final : public FlyoutBase {
public:
    MenuFlyout();
    ~MenuFlyout() override;
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.MenuFlyout"; }

    const std::shared_ptr<MenuFlyoutItemCollection>& Items() const noexcept { return m_items; }

    // Raises Opening, then shows the items as they are at that moment; returns at once.
    void ShowAt(const std::shared_ptr<FrameworkElement>& target, foundation::Point position) override;

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
