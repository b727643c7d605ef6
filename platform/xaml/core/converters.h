#pragma once
// Value conversion for bindings: IValueConverter and XamlBindingHelper.

#include "platform/xaml/core/types.h"

#include <memory>

namespace xaml {

class DependencyObject;
class IDataTemplateComponent;

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

    // The binding object of an item element made from a template, which lists drive per item.
    // The element keeps it for its lifetime.
    static void SetDataTemplateComponent(const std::shared_ptr<DependencyObject>& element,
                                         const std::shared_ptr<IDataTemplateComponent>& component);
    static std::shared_ptr<IDataTemplateComponent> GetDataTemplateComponent(const std::shared_ptr<DependencyObject>& element);
};

}  // namespace xaml
