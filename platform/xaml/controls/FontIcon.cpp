#include "platform/xaml/controls/FontIcon.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>

namespace xaml {

using foundation::box_value;

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

void register_font_icon()
{
    metadata::type_builder(FontIcon::class_name, FrameworkElement::class_name)
        .activatable<FontIcon>()
        .property(FontIcon::GlyphProperty, {u"String"}, box_value(hstring{}));
}

}  // namespace xaml
