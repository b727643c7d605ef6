#pragma once
// StackPanel: children one after another, across or down.

#include "platform/xaml/controls/Panel.h"

namespace xaml {

class StackPanel : public Panel {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.StackPanel"; }

    static const DependencyProperty& OrientationProperty();
    static const DependencyProperty& SpacingProperty();
    xaml::Orientation Orientation() const { return get_value<xaml::Orientation>(*this, OrientationProperty()); }
    void Orientation(xaml::Orientation value) { set_value(*this, OrientationProperty(), value); }
    double Spacing() const { return get_value<double>(*this, SpacingProperty()); }
    void Spacing(double value) { set_value(*this, SpacingProperty(), value); }

protected:
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

// Stacks the visible elements one after another, `spacing` apart (StackPanel, StackLayout).
foundation::Size measure_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation,
                               double spacing);
void arrange_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation, double spacing,
                   double x, double y, double width, double height);
}  // namespace xaml
