#pragma once
// Zintrel.InverseBooleanToVisibilityConverter: hides an element when a Boolean is true.

#include "platform/foundation/object.h"
#include "platform/xaml/core/converters.h"

namespace Zintrel {

class InverseBooleanToVisibilityConverter final : public foundation::Object, public xaml::IValueConverter {
public:
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.InverseBooleanToVisibilityConverter"; }

    // Collapsed for a boxed true; Visible for false, null and anything that is not a Boolean.
    foundation::IInspectable Convert(const foundation::IInspectable& value, const xaml::TypeName& targetType,
                                     const foundation::IInspectable& parameter, const foundation::hstring& language) override;
    // Nothing converts back: fails with hresult_not_implemented.
    foundation::IInspectable ConvertBack(const foundation::IInspectable& value, const xaml::TypeName& targetType,
                                         const foundation::IInspectable& parameter, const foundation::hstring& language) override;
};

}  // namespace Zintrel
