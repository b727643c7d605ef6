#include "app/Helpers.h"

#include "app/TextHelpers.h"
#include "platform/datatransfer/DataPackage.h"
#include "platform/foundation/activation.h"
#include "platform/foundation/format.h"
#include "platform/foundation/utf.h"
#include "platform/shell/locale.h"

#include <cctype>
#include <locale>
#include <optional>
#include <stdexcept>

namespace Zintrel {

namespace {

// The two-letter code of a locale query, or empty when the query fails.
hstring query_code(shell::LPCWSTR locale, shell::LCTYPE type)
{
    char16_t buffer[9] = {};
    const int n = shell::GetLocaleInfoEx(locale, type, buffer, 9);
    return n > 0 ? hstring(buffer) : hstring{};
}

// language-country of a default locale; empty when either query fails.
hstring locale_name(shell::LPCWSTR locale)
{
    char16_t buffer[18] = {};
    const int n = shell::GetLocaleInfoEx(locale, shell::LOCALE_SISO639LANGNAME, buffer, 9);
    if (n <= 1) return {};
    buffer[n - 1] = u'-';
    if (shell::GetLocaleInfoEx(locale, shell::LOCALE_SISO3166CTRYNAME, buffer + n, 9) <= 1) return {};
    return hstring(buffer);
}

// Every constant is made once, before main, and only read afterwards.
const hstring text_format = datatransfer::StandardDataFormats::Text();
const hstring file_name_format = datatransfer::FileNameFormat;
const hstring system_country_code = query_code(shell::LOCALE_NAME_SYSTEM_DEFAULT, shell::LOCALE_SISO3166CTRYNAME);
const hstring system_locale_name = locale_name(shell::LOCALE_NAME_SYSTEM_DEFAULT);
const hstring user_locale_name = locale_name(shell::LOCALE_NAME_USER_DEFAULT);

const foundation::class_registration helpers_registration{u"Zintrel.Helpers", nullptr};

std::optional<bool> read_boolean(const IInspectable& value)
{
    if (!value) return std::nullopt;
    return foundation::as<foundation::IPropertyValue>(value)->GetBoolean();
}

bool is_language_country(const std::string& name)
{
    const auto hyphen = name.find('-');
    if (hyphen < 2 || hyphen > 3 || name.size() != hyphen + 3) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (i != hyphen && !std::isalpha(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

// The C++ runtime here knows locales in POSIX spelling only. The locale takes no part in
// formatting a string, so a language-country name of a locale this machine lacks must not
// fail every label on a page: it falls back to the classic locale. Other names must exist.
std::locale make_locale(const std::string& name)
{
    if (auto locale = language_country_locale(name)) return *locale;
    if (!is_language_country(name)) throw std::runtime_error("bad locale name");
    return std::locale::classic();
}

}  // namespace

hstring Helpers::SystemCountryCode() { return system_country_code; }
hstring Helpers::SystemLocaleName() { return system_locale_name; }
hstring Helpers::UserLocaleName() { return user_locale_name; }
std::int32_t Helpers::DisplayYear() { return 2025; }
hstring Helpers::CompanyName() { return u"Varnholt"; }
hstring Helpers::ProductDisplayName() { return u"Varnholt Zintrel"; }
hstring Helpers::ProductName() { return u"Zintrel"; }
hstring Helpers::ProductVersion() { return u"" ZINTREL_VERSION; }

xaml::Visibility Helpers::BooleanToVisibility(const IInspectable& value)
{
    return read_boolean(value).value_or(true) ? xaml::Visibility::Visible : xaml::Visibility::Collapsed;
}

xaml::Visibility Helpers::InverseBooleanToVisibility(const IInspectable& value)
{
    return read_boolean(value).value_or(true) ? xaml::Visibility::Collapsed : xaml::Visibility::Visible;
}

xaml::Visibility Helpers::StringToVisibility(const hstring& value)
{
    return value.empty() ? xaml::Visibility::Collapsed : xaml::Visibility::Visible;
}

hstring Helpers::FormatString(const hstring& format, const hstring& value, const hstring& localeName)
{
    if (format.empty()) return value;
    const std::string name = localeName.empty() ? std::string("C") : foundation::utf::utf16_to_utf8(localeName);
    // The locale must exist, though a string argument formats alike in every locale.
    [[maybe_unused]] const std::locale locale = make_locale(name);
    const std::string text = foundation::utf::utf16_to_utf8(value);
    return hstring(foundation::utf::utf8_to_utf16(std::vformat(foundation::utf::utf16_to_utf8(format), std::make_format_args(text))));
}

hstring Helpers::TriStateText(const IInspectable& value, const hstring& whenNull, const hstring& whenTrue,
                              const hstring& whenFalse)
{
    const auto state = read_boolean(value);
    return !state ? whenNull : *state ? whenTrue : whenFalse;
}

IInspectable Helpers::TriStateChoice(const IInspectable& value, const IInspectable& whenNull, const IInspectable& whenTrue,
                                     const IInspectable& whenFalse)
{
    const auto state = read_boolean(value);
    return !state ? whenNull : *state ? whenTrue : whenFalse;
}

bool HasTextOrFileName()
{
    const auto content = datatransfer::Clipboard::GetContent();
    return content->Contains(text_format) || content->Contains(file_name_format);
}

const hstring& TextFormatId() { return text_format; }
const hstring& FileNameFormatId() { return file_name_format; }

}  // namespace Zintrel
