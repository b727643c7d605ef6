#pragma once
// FontIcon: an icon drawn from a glyph of the text font.

#include "platform/xaml/core/UIElement.h"

namespace xaml {

class FontIcon final : public FrameworkElement {
public:
    FontIcon();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.FontIcon"; }
    static const DependencyProperty& GlyphProperty();
    hstring Glyph() const { return get_value<hstring>(*this, GlyphProperty()); }
    void Glyph(const hstring& value) { set_value(*this, GlyphProperty(), value); }

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

}  // namespace xaml
