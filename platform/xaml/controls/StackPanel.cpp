#include "platform/xaml/controls/StackPanel.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

namespace xaml {

using foundation::box_value;

namespace {
const TypeName stack_type{u"Microsoft.UI.Xaml.Controls.StackPanel", TypeKind::Metadata};
}  // namespace

foundation::Size measure_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation,
                               double spacing)
{
    const bool vertical = orientation == xaml::Orientation::Vertical;
    double along = 0, across = 0;
    int shown = 0;
    for (const auto& child : elements) {
        if (child->Visibility() == xaml::Visibility::Collapsed) continue;
        const auto s = child->desired_size();
        along += vertical ? s.Height : s.Width;
        across = std::max(across, static_cast<double>(vertical ? s.Width : s.Height));
        ++shown;
    }
    if (shown > 1) along += spacing * (shown - 1);
    return vertical ? foundation::Size{static_cast<float>(across), static_cast<float>(along)}
                    : foundation::Size{static_cast<float>(along), static_cast<float>(across)};
}

void arrange_stack(const std::vector<std::shared_ptr<UIElement>>& elements, xaml::Orientation orientation, double spacing,
                   double x, double y, double width, double height)
{
    const bool vertical = orientation == xaml::Orientation::Vertical;
    for (const auto& child : elements) {
        if (child->Visibility() == xaml::Visibility::Collapsed) continue;
        const auto s = child->desired_size();
        if (vertical) {
            child->arrange_in(x, y, width, s.Height);
            y += s.Height + spacing;
        } else {
            child->arrange_in(x, y, s.Width, height);
            x += s.Width + spacing;
        }
    }
}

foundation::Size StackPanel::measure_override() const { return measure_stack(visual_children(), Orientation(), Spacing()); }

void StackPanel::arrange_override(double x, double y, double width, double height)
{
    arrange_stack(visual_children(), Orientation(), Spacing(), x, y, width, height);
}

void StackPanel::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Panel::OnPropertyChanged(args);
    if (args.Property() == OrientationProperty() || args.Property() == SpacingProperty()) invalidate_layout();
}

void register_stack_panel()
{
    metadata::type_builder(StackPanel::class_name, Panel::class_name)
        .activatable<StackPanel>()
        .property(StackPanel::OrientationProperty, {u"Microsoft.UI.Xaml.Controls.Orientation", TypeKind::Metadata}, box_value(xaml::Orientation::Vertical))
        .property(StackPanel::SpacingProperty, {u"Double"}, box_value(0.0));
}

}  // namespace xaml
