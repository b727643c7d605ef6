#pragma once
// FontIcon: an icon drawn from a glyph of the text font.

#include "platform/xaml/core/UIElement.h"

namespace xaml {

class FontIcon final : public FrameworkElement {
public:
    FontIcon();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.FontIcon")
    XAML_PROPERTY(hstring, Glyph)

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

}  // namespace xaml
