#include "platform/xaml/core/AutomationProperties.h"

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/registration.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QWidget>

namespace xaml {

using foundation::box_value;

void register_automation()
{
    metadata::type_builder(AutomationProperties::class_name, u"")
        .attached(AutomationProperties::NameProperty, {u"String"}, box_value(hstring{}),
                  [](const std::shared_ptr<DependencyObject>& element, const auto& args) {
                      auto e = std::dynamic_pointer_cast<UIElement>(element);
                      if (!e || !e->widget()) return;
                      const QString name = to_qstring(foundation::unbox_value<hstring>(args.NewValue()));
                      e->widget()->setAccessibleName(name);
                      // Assistive technology reaches the editor inside a box (a text field under its
                      // header), not the box: the editor carries the name too.
                      if (QWidget* inner = e->widget()->focusProxy()) inner->setAccessibleName(name);
                  });
}

}  // namespace xaml
