#include "platform/xaml/controls/MenuFlyout.h"

#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

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

const DependencyProperty& MenuFlyoutItem::TextProperty()
{
    static const auto p = DependencyProperty::Register(u"Text", {u"String"},
                                                       {u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem", TypeKind::Metadata},
                                                       PropertyMetadata(foundation::box_value(hstring{})));
    return p;
}

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

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.Primitives.FlyoutBase", u"Microsoft.UI.Xaml.DependencyObject");
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.MenuFlyout", u"Microsoft.UI.Xaml.Controls.Primitives.FlyoutBase")
        .activatable<MenuFlyout>()
        .collection(u"Items",
                    [](const IInspectable& target, const IInspectable& value) {
                        foundation::as<MenuFlyout>(target)->Items()->Append(foundation::as<MenuFlyoutItemBase>(value));
                    })
        .content(u"Items");
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.MenuFlyoutItemBase", u"Microsoft.UI.Xaml.Controls.Control");
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.MenuFlyoutItem", u"Microsoft.UI.Xaml.Controls.MenuFlyoutItemBase")
        .activatable<MenuFlyoutItem>()
        .property(MenuFlyoutItem::TextProperty());
    return true;
}();

}  // namespace

}  // namespace xaml
