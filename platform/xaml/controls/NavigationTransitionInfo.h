#pragma once
// NavigationTransitionInfo: the animation a navigation recommends.

#include "platform/foundation/object.h"

namespace xaml {

class NavigationTransitionInfo : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Media.Animation.NavigationTransitionInfo")
};

}  // namespace xaml
