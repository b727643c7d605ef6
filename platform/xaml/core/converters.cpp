#include "platform/xaml/core/converters.h"

#include "platform/xaml/core/metadata.h"

namespace xaml {

IInspectable XamlBindingHelper::ConvertValue(const TypeName& type, const IInspectable& value)
{
    if (!value) return nullptr;
    if (auto text = foundation::try_as<foundation::IReferenceValue<hstring>>(value)) {
        if (type.Name == u"String" || type.Name == u"Object") return value;
        return metadata::convert_text(type.Name, text->Value());
    }
    const auto property = foundation::try_as<foundation::IPropertyValue>(value);
    if (property) {
        if (type.Name == u"Int32") return foundation::box_value(property->GetInt32());
        if (type.Name == u"Double") return foundation::box_value(property->GetDouble());
        if (type.Name == u"Boolean") return foundation::box_value(property->GetBoolean());
        if (type.Name == u"String") return foundation::box_value(property->GetString());
    }
    if (type.Name == u"Object") return value;
    throw foundation::hresult_invalid_argument(u"The value cannot be converted to " + type.Name);
}

}  // namespace xaml
