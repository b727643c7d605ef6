#include "platform/xaml/controls/RelativePanel.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace xaml {

using foundation::box_value;

namespace {

// The properties that bind one axis of a child: against the panel, aligned with a sibling's
// same edge, or beside a sibling; at the start and at the end of the axis.
struct axis_properties {
    const DependencyProperty& startPanel;
    const DependencyProperty& startWith;
    const DependencyProperty& after;
    const DependencyProperty& endPanel;
    const DependencyProperty& endWith;
    const DependencyProperty& before;
};

}  // namespace

std::vector<RelativePanel::span> RelativePanel::place(bool horizontal, double extent, bool measuring) const
{
    const axis_properties axis = horizontal
        ? axis_properties{AlignLeftWithPanelProperty(), AlignLeftWithProperty(), RightOfProperty(),
                          AlignRightWithPanelProperty(), AlignRightWithProperty(), LeftOfProperty()}
        : axis_properties{AlignTopWithPanelProperty(), AlignTopWithProperty(), BelowProperty(),
                          AlignBottomWithPanelProperty(), AlignBottomWithProperty(), AboveProperty()};
    const auto& children = visual_children();
    enum class state { waiting, placing, placed };
    std::vector<span> spans(children.size());
    std::vector<state> states(children.size(), state::waiting);

    auto sibling_index = [&](const IInspectable& reference) -> std::optional<std::size_t> {
        if (!reference) return std::nullopt;
        if (auto name = foundation::try_as<foundation::IReferenceValue<hstring>>(reference)) {
            if (name->Value().empty()) return std::nullopt;
            for (std::size_t i = 0; i < children.size(); ++i)
                if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(children[i]); fe && fe->Name() == name->Value())
                    return i;
            return std::nullopt;
        }
        const auto found = std::find(children.begin(), children.end(), reference);
        if (found == children.end()) return std::nullopt;
        return static_cast<std::size_t>(found - children.begin());
    };

    std::function<void(std::size_t)> place_child = [&](std::size_t i) {
        states[i] = state::placing;
        const auto& child = children[i];
        // The span of the sibling a property names, placed first; none for a cycle.
        auto anchor = [&](const DependencyProperty& property) -> const span* {
            const auto j = sibling_index(child->GetValue(property));
            if (!j || *j == i) return nullptr;
            if (states[*j] == state::waiting) place_child(*j);
            return states[*j] == state::placed ? &spans[*j] : nullptr;
        };

        std::optional<double> start, end;
        if (get_value<bool>(*child, axis.startPanel)) start = 0.0;
        else if (const span* s = anchor(axis.startWith)) start = s->at;
        else if (const span* s = anchor(axis.after)) start = s->at + s->length;
        if (get_value<bool>(*child, axis.endPanel)) end = extent;
        else if (const span* s = anchor(axis.endWith)) end = s->at + s->length;
        else if (const span* s = anchor(axis.before)) end = s->at;

        const auto desired = child->desired_size();
        const double size = horizontal ? desired.Width : desired.Height;
        span& result = spans[i];
        if (start && end) {
            result = {*start, std::max(measuring ? size : 0.0, *end - *start)};
        } else if (end) {
            result = {*end - size, size};
        } else {
            result = {start.value_or(0.0), size};
        }
        states[i] = state::placed;
    };

    for (std::size_t i = 0; i < children.size(); ++i)
        if (states[i] == state::waiting) place_child(i);
    return spans;
}

foundation::Size RelativePanel::measure_override() const
{
    // Laid out in no space, children bound to the start of an axis run from 0 onwards and those
    // bound to its end run backwards from 0: the panel needs both runs side by side.
    auto needed = [this](bool horizontal) {
        double low = 0, high = 0;
        for (const auto& s : place(horizontal, 0, true)) {
            low = std::min(low, s.at);
            high = std::max(high, s.at + s.length);
        }
        return static_cast<float>(high - low);
    };
    return {needed(true), needed(false)};
}

void RelativePanel::arrange_override(double x, double y, double width, double height)
{
    const auto columns = place(true, width, false);
    const auto rows = place(false, height, false);
    const auto& children = visual_children();
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i]->Visibility() == xaml::Visibility::Collapsed) continue;
        children[i]->arrange_in(x + columns[i].at, y + rows[i].at, columns[i].length, rows[i].length);
    }
}

void register_relative_panel()
{
    const auto relayout = [](const auto& element, const auto&) { invalidate_parent_layout(element); };
    metadata::type_builder type(RelativePanel::class_name, Panel::class_name);
    type.activatable<RelativePanel>();
    for (auto* sibling : {&RelativePanel::BelowProperty, &RelativePanel::AboveProperty, &RelativePanel::RightOfProperty,
                          &RelativePanel::LeftOfProperty, &RelativePanel::AlignLeftWithProperty,
                          &RelativePanel::AlignRightWithProperty, &RelativePanel::AlignTopWithProperty,
                          &RelativePanel::AlignBottomWithProperty})
        type.attached(*sibling, {u"Object"}, nullptr, relayout, value_ownership::refers);
    for (auto* flag : {&RelativePanel::AlignLeftWithPanelProperty, &RelativePanel::AlignRightWithPanelProperty,
                       &RelativePanel::AlignTopWithPanelProperty, &RelativePanel::AlignBottomWithPanelProperty})
        type.attached(*flag, {u"Boolean"}, box_value(false), relayout);
}

}  // namespace xaml
