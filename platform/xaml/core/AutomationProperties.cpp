#include "platform/xaml/core/AutomationProperties.h"

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QWidget>

namespace xaml {

using foundation::box_value;

const DependencyProperty& AutomationProperties::NameProperty()
{
    static const auto property = DependencyProperty::RegisterAttached(
        u"Name", {u"String"}, {u"Microsoft.UI.Xaml.Automation.AutomationProperties", TypeKind::Metadata},
        PropertyMetadata(box_value(hstring{}), [](const std::shared_ptr<DependencyObject>& element, const auto& args) {
            auto e = std::dynamic_pointer_cast<UIElement>(element);
            if (!e || !e->widget()) return;
            const QString name = to_qstring(foundation::unbox_value<hstring>(args.NewValue()));
            e->widget()->setAccessibleName(name);
            // Assistive technology reaches the editor inside a box (a text field under its
            // header), not the box: the editor carries the name too.
            if (QWidget* inner = e->widget()->focusProxy()) inner->setAccessibleName(name);
        }));
    return property;
}

hstring AutomationProperties::GetName(const std::shared_ptr<DependencyObject>& element)
{
    return get_value<hstring>(*element, NameProperty());
}

void AutomationProperties::SetName(const std::shared_ptr<DependencyObject>& element, const hstring& value)
{
    set_value(*element, NameProperty(), value);
}

}  // namespace xaml
