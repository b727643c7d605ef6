#pragma once
// RelativePanel: places each child against the panel's edges or against siblings.
//
// A sibling-valued property holds the sibling element (weakly: the panel owns its children) or,
// as markup writes it, the sibling's name, looked up among the panel's children at layout time.
// A reference that names no sibling, or that closes a cycle, is ignored. Panel alignments win
// over sibling alignments, which win over the positions beside a sibling; a child bound on both
// sides fills the space between them.

#include "platform/xaml/controls/Panel.h"

namespace xaml {

class RelativePanel final : public Panel {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.RelativePanel")

    // Beside or aligned with a sibling, given as the element or its name.
    XAML_ATTACHED(IInspectable, Below)
    XAML_ATTACHED(IInspectable, Above)
    XAML_ATTACHED(IInspectable, RightOf)
    XAML_ATTACHED(IInspectable, LeftOf)
    XAML_ATTACHED(IInspectable, AlignLeftWith)
    XAML_ATTACHED(IInspectable, AlignRightWith)
    XAML_ATTACHED(IInspectable, AlignTopWith)
    XAML_ATTACHED(IInspectable, AlignBottomWith)
    // Against the panel.
    XAML_ATTACHED(bool, AlignLeftWithPanel)
    XAML_ATTACHED(bool, AlignRightWithPanel)
    XAML_ATTACHED(bool, AlignTopWithPanel)
    XAML_ATTACHED(bool, AlignBottomWithPanel)

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

}  // namespace xaml
