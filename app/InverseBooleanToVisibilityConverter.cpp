#include "app/InverseBooleanToVisibilityConverter.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/core/metadata.h"

namespace Zintrel {

foundation::IInspectable InverseBooleanToVisibilityConverter::Convert(const foundation::IInspectable& value,
                                                                      const xaml::TypeName&, const foundation::IInspectable&,
                                                                      const foundation::hstring&)
{
    const auto flag = foundation::try_as<foundation::IReferenceValue<bool>>(value);
    return foundation::box_value(flag && flag->Value() ? xaml::Visibility::Collapsed : xaml::Visibility::Visible);
}

foundation::IInspectable InverseBooleanToVisibilityConverter::ConvertBack(const foundation::IInspectable&,
                                                                          const xaml::TypeName&, const foundation::IInspectable&,
                                                                          const foundation::hstring&)
{
    throw foundation::hresult_not_implemented();
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.InverseBooleanToVisibilityConverter", u"")
        .runtime_class<InverseBooleanToVisibilityConverter>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
