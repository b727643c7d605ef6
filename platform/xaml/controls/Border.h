#pragma once
// Border: one child inside a painted background and outline with rounded corners and padding.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/brush.h"

namespace xaml {

class Border final : public FrameworkElement {
public:
    Border();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Border")

    XAML_PROPERTY(std::shared_ptr<UIElement>, Child)
    XAML_PROPERTY(std::shared_ptr<Brush>, Background)
    XAML_PROPERTY(std::shared_ptr<Brush>, BorderBrush)
    XAML_PROPERTY(Thickness, BorderThickness)
    XAML_PROPERTY(xaml::CornerRadius, CornerRadius)
    XAML_PROPERTY(Thickness, Padding)

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    // Border and padding together: the space between the edge and the child.
    Thickness inset() const;
};

}  // namespace xaml
