#pragma once
// StackPanel: children one after another, across or down.

#include "platform/xaml/controls/Panel.h"

namespace xaml {

class StackPanel : public Panel {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.StackPanel")

    XAML_PROPERTY(xaml::Orientation, Orientation)
    XAML_PROPERTY(double, Spacing)

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
