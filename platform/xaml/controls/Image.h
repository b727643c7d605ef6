#pragma once
// Image: a picture file shown at the element's size.

#include "platform/xaml/core/UIElement.h"

namespace xaml {

class Image final : public FrameworkElement {
public:
    Image();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Image")

    // "ms-appx:///Assets/Name.png" (beside the program) or an absolute path. A missing or
    // unreadable file shows nothing.
    XAML_PROPERTY(hstring, Source)

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    void arrange_in(double x, double y, double width, double height) override;
};

}  // namespace xaml
