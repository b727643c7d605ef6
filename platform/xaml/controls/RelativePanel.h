#pragma once
// RelativePanel: places each child against the panel's edges or against siblings.
//
// A sibling-valued property holds the sibling element or, as markup writes it, the sibling's
// name, looked up among the panel's children at layout time. A reference that names no
// sibling, or that closes a cycle, is ignored. Panel alignments win over sibling alignments,
// which win over the positions beside a sibling; a child bound on both sides fills the space
// between them.

#include "platform/xaml/controls/Panel.h"

namespace xaml {

// Every relationship, as SIBLING(Name) for a sibling-valued property or FLAG(Name) for a
// Boolean one against the panel.
#define XAML_RELATIVE_PANEL_PROPERTIES(SIBLING, FLAG)                                                   \
    SIBLING(Below) SIBLING(Above) SIBLING(RightOf) SIBLING(LeftOf) SIBLING(AlignLeftWith)               \
    SIBLING(AlignRightWith) SIBLING(AlignTopWith) SIBLING(AlignBottomWith) FLAG(AlignLeftWithPanel)     \
    FLAG(AlignRightWithPanel) FLAG(AlignTopWithPanel) FLAG(AlignBottomWithPanel)

#define XAML_RELATIVE_SIBLING(Name)                                                          \
    static const DependencyProperty& Name##Property();                                       \
    static IInspectable Get##Name(const std::shared_ptr<UIElement>& element);                \
    static void Set##Name(const std::shared_ptr<UIElement>& element, const IInspectable& value);

#define XAML_RELATIVE_FLAG(Name)                                  \
    static const DependencyProperty& Name##Property();            \
    static bool Get##Name(const std::shared_ptr<UIElement>& element); \
    static void Set##Name(const std::shared_ptr<UIElement>& element, bool value);

class RelativePanel final : public Panel {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.RelativePanel"; }

    XAML_RELATIVE_PANEL_PROPERTIES(XAML_RELATIVE_SIBLING, XAML_RELATIVE_FLAG)

protected:
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    struct span {
        double at = 0, length = 0;
    };
    // Where every child's slot (margins included) lies along one axis of the given extent. The
    // two axes are independent. Measuring, a child bound on both sides keeps its desired size.
    std::vector<span> place(bool horizontal, double extent, bool measuring) const;
};

#undef XAML_RELATIVE_SIBLING
#undef XAML_RELATIVE_FLAG

}  // namespace xaml
