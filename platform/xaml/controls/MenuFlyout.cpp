#include "platform/xaml/controls/MenuFlyout.h"

#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAction>
#include <QKeySequence>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace xaml {

// ---- MenuFlyoutItemBase ----

MenuFlyoutItemBase::MenuFlyoutItemBase() : m_action(new QAction) {}

MenuFlyoutItemBase::~MenuFlyoutItemBase() { delete m_action; }

void MenuFlyoutItemBase::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == IsEnabledProperty()) m_action->setEnabled(IsEnabled());
    else if (args.Property() == VisibilityProperty()) m_action->setVisible(Visibility() == xaml::Visibility::Visible);
}

// ---- MenuFlyoutItem ----

MenuFlyoutItem::MenuFlyoutItem()
{
    // A disabled action never triggers, so a disabled item raises no Click.
    QObject::connect(action(), &QAction::triggered, action(), [this] {
        guard([this] {
            RoutedEventArgs args;
            args.set_original_source(strong_self());
            m_Click(strong_self(), args);
        });
    });
}

void MenuFlyoutItem::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    MenuFlyoutItemBase::OnPropertyChanged(args);
    if (args.Property() == TextProperty()) action()->setText(to_qstring(Text()));
}

void MenuFlyoutItem::add_accelerator(const std::shared_ptr<KeyboardAccelerator>& accelerator)
{
    m_accelerators.push_back(accelerator);
    show_accelerators();
}

namespace {

QKeyCombination qt_keys(const KeyboardAccelerator& accelerator)
{
    const auto key = accelerator.Key();
    const auto modifiers = static_cast<std::uint32_t>(accelerator.Modifiers());
    Qt::KeyboardModifiers qt;
    if (modifiers & static_cast<std::uint32_t>(VirtualKeyModifiers::Control)) qt |= Qt::ControlModifier;
    if (modifiers & static_cast<std::uint32_t>(VirtualKeyModifiers::Menu)) qt |= Qt::AltModifier;
    if (modifiers & static_cast<std::uint32_t>(VirtualKeyModifiers::Shift)) qt |= Qt::ShiftModifier;
    if (modifiers & static_cast<std::uint32_t>(VirtualKeyModifiers::Windows)) qt |= Qt::MetaModifier;
    Qt::Key qtKey = Qt::Key_unknown;
    switch (key) {
    case VirtualKey::Enter: qtKey = Qt::Key_Return; break;
    case VirtualKey::Escape: qtKey = Qt::Key_Escape; break;
    case VirtualKey::Insert: qtKey = Qt::Key_Insert; break;
    case VirtualKey::Delete: qtKey = Qt::Key_Delete; break;
    case VirtualKey::None: break;
    default: qtKey = static_cast<Qt::Key>(key);  // letters share their codes
    }
    return QKeyCombination(qt, qtKey);
}

}  // namespace

bool MenuFlyoutItem::has_accelerator(int qtKey, int qtModifiers) const
{
    const QKeyCombination pressed(Qt::KeyboardModifiers(qtModifiers), static_cast<Qt::Key>(qtKey));
    return std::any_of(m_accelerators.begin(), m_accelerators.end(), [&](const auto& a) { return a && qt_keys(*a) == pressed; });
}

void MenuFlyoutItem::show_accelerators()
{
    // The open menu shows the keys beside the item.
    QList<QKeySequence> keys;
    for (const auto& a : m_accelerators)
        if (a) keys.push_back(QKeySequence(qt_keys(*a)));
    action()->setShortcuts(keys);
    action()->setShortcutContext(Qt::WidgetShortcut);
}

// ---- KeyboardAccelerator ----

// ---- MenuFlyout ----

struct MenuFlyout::qt_parts {
    QPointer<QMenu> menu;  // owned, and gone with the window it was made for
};

MenuFlyout::MenuFlyout()
    : m_items(foundation::single_threaded_observable_vector<std::shared_ptr<MenuFlyoutItemBase>>()),
      m_qt(std::make_unique<qt_parts>())
{
}

MenuFlyout::~MenuFlyout() { delete m_qt->menu.data(); }

QMenu* MenuFlyout::menu() const noexcept { return m_qt->menu; }

void MenuFlyout::ShowAt(const std::shared_ptr<FrameworkElement>& target, foundation::Point position)
{
    // Handlers of Opening may still change the items (enable or disable them).
    m_Opening(strong_self(), nullptr);

    QWidget* anchor = target ? target->widget() : nullptr;
    QWidget* window = anchor ? anchor->window() : nullptr;
    // The menu belongs to the target's window, so the desktop places it as that window's pop-up.
    if (m_qt->menu && m_qt->menu->parentWidget() != window) delete m_qt->menu.data();
    if (!m_qt->menu) m_qt->menu = new QMenu(window);

    m_qt->menu->clear();
    for (const auto& item : *m_items)
        if (item) m_qt->menu->addAction(item->action());

    const QPoint local(static_cast<int>(position.X), static_cast<int>(position.Y));
    m_qt->menu->popup(anchor ? anchor->mapToGlobal(local) : QCursor::pos());
}

void MenuFlyout::focus_first_item()
{
    if (!m_qt->menu) return;
    for (QAction* action : m_qt->menu->actions())
        if (action->isEnabled() && action->isVisible()) {
            m_qt->menu->setActiveAction(action);
            return;
        }
}

bool MenuFlyout::invoke_accelerator(int qtKey, int qtModifiers)
{
    for (const auto& entry : *m_items) {
        const auto item = std::dynamic_pointer_cast<MenuFlyoutItem>(entry);
        if (!item || !item->has_accelerator(qtKey, qtModifiers)) continue;
        m_Opening(strong_self(), nullptr);
        // A disabled action does not trigger, so a disabled item raises no Click.
        if (item->Visibility() == Visibility::Visible) item->action()->trigger();
        return true;
    }
    return false;
}

void register_menu_flyout()
{
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.Primitives.FlyoutBase", u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(MenuFlyout::class_name, u"Microsoft.UI.Xaml.Controls.Primitives.FlyoutBase")
        .activatable<MenuFlyout>()
        .collection(u"Items",
                    [](const IInspectable& target, const IInspectable& value) {
                        foundation::as<MenuFlyout>(target)->Items()->Append(foundation::as<MenuFlyoutItemBase>(value));
                    })
        .content(u"Items");
    metadata::type_builder(MenuFlyoutItemBase::class_name, Control::class_name);
    metadata::type_builder(MenuFlyoutItem::class_name, MenuFlyoutItemBase::class_name)
        .activatable<MenuFlyoutItem>()
        .property(MenuFlyoutItem::TextProperty, {u"String"}, foundation::box_value(hstring{}))
        .collection(u"KeyboardAccelerators", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<MenuFlyoutItem>(target)->add_accelerator(foundation::as<KeyboardAccelerator>(value));
        });
    metadata::register_enum<VirtualKey>(u"VirtualKey", {{u"Enter", VirtualKey::Enter}, {u"Escape", VirtualKey::Escape},
                                                        {u"Insert", VirtualKey::Insert}, {u"Delete", VirtualKey::Delete},
                                                        {u"C", VirtualKey::C}, {u"V", VirtualKey::V}, {u"X", VirtualKey::X}});
    metadata::register_enum<VirtualKeyModifiers>(u"VirtualKeyModifiers",
                                                 {{u"None", VirtualKeyModifiers::None}, {u"Control", VirtualKeyModifiers::Control},
                                                  {u"Menu", VirtualKeyModifiers::Menu}, {u"Shift", VirtualKeyModifiers::Shift},
                                                  {u"Windows", VirtualKeyModifiers::Windows}});
    metadata::type_builder(KeyboardAccelerator::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .activatable<KeyboardAccelerator>()
        .property(KeyboardAccelerator::KeyProperty, {u"Windows.System.VirtualKey"}, foundation::box_value(VirtualKey::None))
        .property(KeyboardAccelerator::ModifiersProperty, {u"Windows.System.VirtualKeyModifiers"}, foundation::box_value(VirtualKeyModifiers::None));
}

}  // namespace xaml
