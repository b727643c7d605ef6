#pragma once

#include "platform/xaml/core/dependency.h"

namespace xaml {

// The name assistive technology reads for an element; without one, a control's own text serves.
struct AutomationProperties {
    static constexpr std::u16string_view class_name = u"Microsoft.UI.Xaml.Automation.AutomationProperties";
    XAML_ATTACHED(hstring, Name)
};

}  // namespace xaml
