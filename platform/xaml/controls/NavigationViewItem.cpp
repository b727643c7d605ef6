#include "platform/xaml/controls/NavigationViewItem.h"

#include "platform/xaml/controls/NavigationView.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace xaml {

using foundation::box_value;

namespace {

// A menu entry: a flat row with an icon column, the text, and a marker when selected.
class nav_item_button final : public QAbstractButton {
public:
    nav_item_button()
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
        setMinimumHeight(40);
    }

    QString glyph;
    bool selected = false;
    bool compact = false;

    QSize sizeHint() const override
    {
        const int text = compact ? 0 : fontMetrics().horizontalAdvance(text_or_empty()) + 16;
        return QSize(48 + text, 40);
    }

protected:
    QString text_or_empty() const { return text(); }

    // Enter opens the focused tool as Space does.
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
            animateClick();
            event->accept();
            return;
        }
        QAbstractButton::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(rect()).adjusted(4, 2, -4, -2);
        QColor fill = Qt::transparent;
        const QColor ink = palette().color(QPalette::WindowText);
        if (selected || underMouse()) {
            fill = ink;
            fill.setAlphaF(selected ? 0.09f : 0.05f);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(area, 5, 5);
        if (selected) {
            p.setBrush(palette().color(QPalette::Highlight));
            p.drawRoundedRect(QRectF(area.left(), area.center().y() - 8, 3, 16), 1.5, 1.5);
        }
        p.setPen(isEnabled() ? ink : palette().color(QPalette::Disabled, QPalette::WindowText));
        QFont iconFont = font();
        iconFont.setPixelSize(16);
        p.setFont(iconFont);
        p.drawText(QRectF(area.left(), area.top(), 40, area.height()), Qt::AlignCenter, glyph);
        if (!compact) {
            p.setFont(font());
            p.drawText(QRectF(area.left() + 44, area.top(), area.width() - 48, area.height()),
                       Qt::AlignVCenter | Qt::AlignLeft, text());
        }
        // The focus is marked as on any button.
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = area.toRect();
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
};

nav_item_button* button_of(const QWidget* widget) { return static_cast<nav_item_button*>(const_cast<QWidget*>(widget)); }

// A menu entry as assistive technology reads it: a list item that can be selected and pressed.
class nav_item_accessible final : public QAccessibleWidget {
public:
    explicit nav_item_accessible(nav_item_button* button) : QAccessibleWidget(button, QAccessible::ListItem) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) return static_cast<nav_item_button*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = static_cast<nav_item_button*>(widget())->selected;
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction()) static_cast<nav_item_button*>(widget())->click();
        else QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* item_accessible(const QString&, QObject* object)
{
    if (auto* button = dynamic_cast<nav_item_button*>(object)) return new nav_item_accessible(button);
    return nullptr;
}

void install_item_accessible()
{
    static const bool installed = (QAccessible::installFactory(item_accessible), true);
    (void)installed;
}

}  // namespace

NavigationViewItem::NavigationViewItem() : ContentControl(own_widget_t{})
{
    install_item_accessible();
    auto* button = new nav_item_button;
    set_widget(button);
    QObject::connect(button, &QAbstractButton::clicked, button, [this] {
        if (auto owner = m_owner.lock())
            guard([&] { owner->item_invoked(std::static_pointer_cast<NavigationViewItem>(strong_self())); });
    });
}

void NavigationViewItem::present_content(const IInspectable&, const IInspectable& now)
{
    button_of(widget())->setText(to_qstring(content_text(now)));
    button_of(widget())->setAccessibleName(to_qstring(content_text(now)));
    invalidate_layout();
}

void NavigationViewItem::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ContentControl::OnPropertyChanged(args);
    if (args.Property() == IconProperty()) {
        const auto icon = Icon();
        button_of(widget())->glyph = icon ? to_qstring(icon->Glyph()) : QString();
        widget()->update();
    }
}

void NavigationViewItem::set_selected(bool selected)
{
    if (m_selected == selected) return;
    m_selected = selected;
    button_of(widget())->selected = selected;
    widget()->update();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(widget(), changed);
        QAccessible::updateAccessibility(&event);
    }
}

void NavigationViewItem::set_compact(bool compact)
{
    button_of(widget())->compact = compact;
    button_of(widget())->setToolTip(compact ? button_of(widget())->text() : QString());
    invalidate_layout();
    widget()->update();
}

void register_navigation_view_item()
{
    metadata::type_builder(NavigationViewItem::class_name, ContentControl::class_name)
        .activatable<NavigationViewItem>()
        .property(NavigationViewItem::IconProperty, {u"Microsoft.UI.Xaml.Controls.IconElement", TypeKind::Metadata}, nullptr);
}

}  // namespace xaml
