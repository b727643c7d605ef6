#pragma once
// Value conversion for bindings: IValueConverter and XamlBindingHelper.

#include "platform/xaml/types.h"

namespace xaml {

class IValueConverter {
public:
    virtual ~IValueConverter() = default;
    virtual IInspectable Convert(const IInspectable& value, const TypeName& targetType, const IInspectable& parameter,
                                 const hstring& language) = 0;
    virtual IInspectable ConvertBack(const IInspectable& value, const TypeName& targetType,
                                     const IInspectable& parameter, const hstring& language) = 0;
};

struct XamlBindingHelper {
    // The value as the named type: a boxed value of that type passes; a string is parsed as
    // markup text of that type. A value that cannot be converted fails with
    // hresult_invalid_argument.
    static IInspectable ConvertValue(const TypeName& type, const IInspectable& value);
};

}  // namespace xaml
