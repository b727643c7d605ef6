#include "platform/xaml/controls/FontIcon.h"

#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>

namespace xaml {

using foundation::box_value;

const DependencyProperty& FontIcon::GlyphProperty()
{
    static const auto p = DependencyProperty::Register(u"Glyph", {u"String"}, {u"Microsoft.UI.Xaml.Controls.FontIcon", TypeKind::Metadata},
                                                       PropertyMetadata(box_value(hstring{})));
    return p;
}

FontIcon::FontIcon()
{
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    set_widget(label);
}

void FontIcon::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    if (args.Property() == GlyphProperty()) static_cast<QLabel*>(widget())->setText(to_qstring(Glyph()));
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.FontIcon", u"Microsoft.UI.Xaml.FrameworkElement")
        .activatable<FontIcon>()
        .property(FontIcon::GlyphProperty());
    return true;
}();

}  // namespace

}  // namespace xaml
