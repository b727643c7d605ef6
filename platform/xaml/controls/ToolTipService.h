#pragma once
// ToolTipService.ToolTip: the attached tool tip of an element, shown as its widget's Qt tool tip.

#include "platform/xaml/core/dependency.h"

namespace xaml {

class ToolTipService {
public:
    ToolTipService() = delete;

    // A boxed string (or number), or an element whose text is shown.
    static inline constinit property_slot ToolTipProperty{u"ToolTip"};
    static IInspectable GetToolTip(const std::shared_ptr<DependencyObject>& element);
    static void SetToolTip(const std::shared_ptr<DependencyObject>& element, const IInspectable& value);
};

}  // namespace xaml
