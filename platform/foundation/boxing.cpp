#include "platform/foundation/boxing.h"

#include <string>

namespace foundation::detail {

hstring boxed_class_name(PropertyType type)
{
    switch (type) {
    case PropertyType::UInt8: return u"Windows.Foundation.IReference`1<UInt8>";
    case PropertyType::Int16: return u"Windows.Foundation.IReference`1<Int16>";
    case PropertyType::UInt16: return u"Windows.Foundation.IReference`1<UInt16>";
    case PropertyType::Int32: return u"Windows.Foundation.IReference`1<Int32>";
    case PropertyType::UInt32: return u"Windows.Foundation.IReference`1<UInt32>";
    case PropertyType::Int64: return u"Windows.Foundation.IReference`1<Int64>";
    case PropertyType::UInt64: return u"Windows.Foundation.IReference`1<UInt64>";
    case PropertyType::Single: return u"Windows.Foundation.IReference`1<Single>";
    case PropertyType::Double: return u"Windows.Foundation.IReference`1<Double>";
    case PropertyType::Char16: return u"Windows.Foundation.IReference`1<Char16>";
    case PropertyType::Boolean: return u"Windows.Foundation.IReference`1<Boolean>";
    case PropertyType::String: return u"Windows.Foundation.IReference`1<String>";
    case PropertyType::Point: return u"Windows.Foundation.IReference`1<Windows.Foundation.Point>";
    case PropertyType::Size: return u"Windows.Foundation.IReference`1<Windows.Foundation.Size>";
    case PropertyType::Rect: return u"Windows.Foundation.IReference`1<Windows.Foundation.Rect>";
    default: return u"Windows.Foundation.IReference`1";
    }
}

void throw_type_mismatch(PropertyType have, const char* want)
{
    std::string text = "A boxed value of type " + std::to_string(static_cast<int>(have)) +
                       " cannot be read as " + want;
    throw hresult_error(TYPE_E_TYPEMISMATCH, hstring(std::u16string(text.begin(), text.end())));
}

}  // namespace foundation::detail
