#pragma once
// Border: one child inside a painted background and outline with rounded corners and padding.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/brush.h"

namespace xaml {

class Border final : public FrameworkElement {
public:
    Border();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Border"; }

    static const DependencyProperty& ChildProperty();
    static const DependencyProperty& BackgroundProperty();
    static const DependencyProperty& BorderBrushProperty();
    static const DependencyProperty& BorderThicknessProperty();
    static const DependencyProperty& CornerRadiusProperty();
    static const DependencyProperty& PaddingProperty();

    std::shared_ptr<UIElement> Child() const { return std::dynamic_pointer_cast<UIElement>(GetValue(ChildProperty())); }
    void Child(const std::shared_ptr<UIElement>& value) { SetValue(ChildProperty(), value); }
    std::shared_ptr<Brush> Background() const { return std::dynamic_pointer_cast<Brush>(GetValue(BackgroundProperty())); }
    void Background(const std::shared_ptr<Brush>& value) { SetValue(BackgroundProperty(), value); }
    std::shared_ptr<Brush> BorderBrush() const { return std::dynamic_pointer_cast<Brush>(GetValue(BorderBrushProperty())); }
    void BorderBrush(const std::shared_ptr<Brush>& value) { SetValue(BorderBrushProperty(), value); }
    Thickness BorderThickness() const { return get_value<Thickness>(*this, BorderThicknessProperty()); }
    void BorderThickness(const Thickness& value) { set_value(*this, BorderThicknessProperty(), value); }
    xaml::CornerRadius CornerRadius() const { return get_value<xaml::CornerRadius>(*this, CornerRadiusProperty()); }
    void CornerRadius(const xaml::CornerRadius& value) { set_value(*this, CornerRadiusProperty(), value); }
    Thickness Padding() const { return get_value<Thickness>(*this, PaddingProperty()); }
    void Padding(const Thickness& value) { set_value(*this, PaddingProperty(), value); }

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    // Border and padding together: the space between the edge and the child.
    Thickness inset() const;
};

}  // namespace xaml
