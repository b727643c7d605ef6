#include "platform/xaml/core/brush.h"

#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/registration.h"

namespace xaml {

void register_brushes()
{
    metadata::type_builder(Brush::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .member(u"Opacity", u"Double", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Brush>(target)->Opacity(foundation::unbox_value<double>(value));
        });
    metadata::type_builder(SolidColorBrush::class_name, Brush::class_name)
        .activatable<SolidColorBrush>()
        .member(u"Color", u"Color", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<SolidColorBrush>(target)->Color(foundation::unbox_value<Color>(value));
        })
        .content(u"Color");
}

}  // namespace xaml
