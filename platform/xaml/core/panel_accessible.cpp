#include "platform/xaml/core/panel_accessible.h"

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/element_events.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QMenu>
#include <QWidget>

#include <typeinfo>

namespace xaml {

namespace {

// A collapsed element keeps its hidden widget, and an element laid out at no size has nothing to
// show: neither is there for a screen reader, nor a focus stop that a keyboard cannot reach.
class panel_accessible final : public QAccessibleWidget {
public:
    explicit panel_accessible(QWidget* widget) : QAccessibleWidget(widget) {}

    int childCount() const override { return static_cast<int>(shown_children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(shown_children().value(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object()) return -1;
        return static_cast<int>(shown_children().indexOf(child->object()));
    }

private:
    // Qt's own list of a widget's children, less those that do not show.
    QList<QObject*> shown_children() const
    {
        QList<QObject*> shown;
        for (QObject* object : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(object);
            if (!w || w->isWindow() || qobject_cast<QFocusFrame*>(w) || qobject_cast<QMenu*>(w)) continue;
            if (w->objectName() == QLatin1String("qt_rubberband")) continue;
            if (w->isVisibleTo(widget()) && !w->size().isEmpty()) shown.push_back(w);
        }
        return shown;
    }
};

QAccessibleInterface* panel_accessible_for(const QString&, QObject* object)
{
    // Only an element's own plain widget (a subclass is a control with an interface of its own),
    // and only while its element holds it: a widget on its way out gets no interface that would
    // outlive it.
    if (!object || !object->isWidgetType() || typeid(*object) != typeid(QWidget)) return nullptr;
    const auto* element = static_cast<const UIElement*>(object->property(element_property).value<void*>());
    if (!element || element->widget() != object) return nullptr;
    return new panel_accessible(static_cast<QWidget*>(object));
}

}  // namespace

void install_panel_accessible()
{
    static const bool installed = (QAccessible::installFactory(panel_accessible_for), true);
    (void)installed;
}

}  // namespace xaml
