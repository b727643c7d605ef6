#include "platform/xaml/core/brush.h"

#include "platform/xaml/core/metadata.h"

namespace xaml {

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Media.Brush", u"Microsoft.UI.Xaml.DependencyObject")
        .member(u"Opacity", u"Double", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Brush>(target)->Opacity(foundation::unbox_value<double>(value));
        });
    metadata::type_builder(u"Microsoft.UI.Xaml.Media.SolidColorBrush", u"Microsoft.UI.Xaml.Media.Brush")
        .activatable<SolidColorBrush>()
        .member(u"Color", u"Color", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<SolidColorBrush>(target)->Color(foundation::unbox_value<Color>(value));
        })
        .content(u"Color");
    return true;
}();

}  // namespace

}  // namespace xaml
