#pragma once

#include "platform/xaml/core/dependency.h"

namespace xaml {

// The name assistive technology reads for an element; without one, a control's own text serves.
struct AutomationProperties {
    static const DependencyProperty& NameProperty();
    static hstring GetName(const std::shared_ptr<DependencyObject>& element);
    static void SetName(const std::shared_ptr<DependencyObject>& element, const hstring& value);
};

}  // namespace xaml
