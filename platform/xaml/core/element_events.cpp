#include "platform/xaml/core/element_events.h"

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/guard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QWidget>

namespace xaml {

namespace {

xaml::FocusState focus_state_of(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason: return xaml::FocusState::Pointer;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: return xaml::FocusState::Keyboard;
    default: return xaml::FocusState::Programmatic;
    }
}

Qt::DropAction drop_action_of(DataPackageOperation op)
{
    switch (op) {
    case DataPackageOperation::Move: return Qt::MoveAction;
    case DataPackageOperation::Link: return Qt::LinkAction;
    default: return Qt::CopyAction;
    }
}

}  // namespace

bool element_events::eventFilter(QObject* watched, QEvent* event)
{
    bool consumed = false;
    guard([&] { consumed = filter(watched, event); });
    return consumed;
}

bool element_events::filter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        m_owner->m_focusState = focus_state_of(static_cast<QFocusEvent*>(event)->reason());
        m_owner->m_GotFocus(m_owner->strong_self(), RoutedEventArgs{});
        break;
    case QEvent::FocusOut:
        // Focus moving inside the element (a text box and its menu) is not a loss.
        if (auto* w = m_owner->widget(); w && QApplication::focusWidget() && w->isAncestorOf(QApplication::focusWidget()))
            break;
        m_owner->m_focusState = xaml::FocusState::Unfocused;
        m_owner->m_LostFocus(m_owner->strong_self(), RoutedEventArgs{});
        break;
    case QEvent::Resize:
        if (watched == m_owner->widget()) {
            if (auto* fe = dynamic_cast<FrameworkElement*>(m_owner)) {
                const auto* e = static_cast<QResizeEvent*>(event);
                const QSize old = e->oldSize().isValid() ? e->oldSize() : QSize(0, 0);
                fe->raise_size_changed({static_cast<float>(old.width()), static_cast<float>(old.height())},
                                       {static_cast<float>(e->size().width()), static_cast<float>(e->size().height())});
            }
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (m_owner->AllowDrop()) {
            auto* e = static_cast<QDropEvent*>(event);
            auto args = std::make_shared<DragEventArgs>(datatransfer::DataPackageView::FromMimeData(e->mimeData()));
            const bool drop = event->type() == QEvent::Drop;
            m_owner->raise_drag(drop, args);
            if (args->AcceptedOperation() != DataPackageOperation::None || (drop && args->Handled())) {
                e->setDropAction(drop_action_of(args->AcceptedOperation()));
                e->accept();
            } else {
                e->ignore();
            }
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (auto flyout = m_owner->ContextFlyout()) {
            const auto* e = static_cast<QKeyEvent*>(event);
            const auto modifiers = e->modifiers() & ~Qt::KeypadModifier;
            if ((e->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
                (e->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
                open_menu_from_keyboard(*flyout);
                return true;
            }
            if (flyout->invoke_accelerator(e->key(), static_cast<int>(modifiers))) return true;
        }
        break;
    case QEvent::ContextMenu:
        if (auto flyout = m_owner->ContextFlyout()) {
            auto* e = static_cast<QContextMenuEvent*>(event);
            // The X11 platform turns the Menu key into this event before the key itself arrives.
            if (e->reason() == QContextMenuEvent::Keyboard) {
                open_menu_from_keyboard(*flyout);
                return true;
            }
            auto* w = static_cast<QWidget*>(watched);
            const QPoint at = m_owner->widget() ? m_owner->widget()->mapFromGlobal(w->mapToGlobal(e->pos())) : e->pos();
            if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(m_owner->strong_self()))
                flyout->ShowAt(fe, {static_cast<float>(at.x()), static_cast<float>(at.y())});
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void element_events::open_menu_from_keyboard(FlyoutBase& flyout)
{
    // Below the element's left edge, at its first item, whichever key asked for it.
    auto* w = m_owner->widget();
    if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(m_owner->strong_self()); fe && w) {
        flyout.ShowAt(fe, {4.0f, static_cast<float>(w->height())});
        flyout.focus_first_item();
    }
}

}  // namespace xaml
