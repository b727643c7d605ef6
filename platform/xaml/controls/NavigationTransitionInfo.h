#pragma once
// NavigationTransitionInfo: the animation a navigation recommends.

#include "platform/foundation/object.h"

namespace xaml {

class NavigationTransitionInfo : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Media.Animation.NavigationTransitionInfo"; }
};

}  // namespace xaml
