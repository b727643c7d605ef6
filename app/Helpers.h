#pragma once
// The functions that markup bindings call, and read-only facts about the product and locale.

#include "platform/foundation/boxing.h"
#include "platform/xaml/core/types.h"

namespace Zintrel {

using foundation::hstring;
using foundation::IInspectable;
using foundation::IReference;

// Static runtime class "Zintrel.Helpers": it has no instances.
class Helpers {
public:
    Helpers() = delete;

    static hstring SystemCountryCode();
    static hstring SystemLocaleName();
    static hstring UserLocaleName();
    static std::int32_t DisplayYear();
    static hstring CompanyName();
    static hstring ProductDisplayName();
    static hstring ProductName();
    static hstring ProductVersion();

    static bool InvertBoolean(bool value) { return !value; }
    static xaml::Visibility BooleanToVisibility(const IInspectable& value);
    static xaml::Visibility InverseBooleanToVisibility(const IInspectable& value);
    static bool StringToEnabled(const hstring& value) { return !value.empty(); }
    static xaml::Visibility StringToVisibility(const hstring& value);
    // One-argument std::vformat of the format with the value; an empty format gives the value.
    // Raises std::format_error for a bad format and std::runtime_error "bad locale name" for a
    // locale name the C++ runtime knows in neither spelling (de-DE, de_DE.UTF-8).
    static hstring FormatString(const hstring& format, const hstring& value, const hstring& localeName);
    static hstring TriStateText(const IInspectable& value, const hstring& whenNull, const hstring& whenTrue,
                                const hstring& whenFalse);
    static IInspectable TriStateChoice(const IInspectable& value, const IInspectable& whenNull,
                                       const IInspectable& whenTrue, const IInspectable& whenFalse);

    // The same for callers holding a Boolean reference rather than a boxed value.
    static xaml::Visibility BooleanToVisibility(IReference<bool> value) { return BooleanToVisibility(foundation::box_value(value)); }
    static xaml::Visibility InverseBooleanToVisibility(IReference<bool> value)
    {
        return InverseBooleanToVisibility(foundation::box_value(value));
    }
};

// Whether the clipboard holds text or a file item ("FileNameW").
bool HasTextOrFileName();

// The clipboard format names the pages read.
const hstring& TextFormatId();
const hstring& FileNameFormatId();

}  // namespace Zintrel
