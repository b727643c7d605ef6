#include "app/Helpers.h"

#include "app/TextHelpers.h"
#include "platform/datatransfer/DataPackage.h"
#include "platform/foundation/activation.h"
#include "platform/foundation/format.h"
#include "platform/foundation/utf.h"
#include "platform/shell/locale.h"

#include <cctype>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
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
// fail every label on a page. Other names must exist. Names once accepted are kept: building a
// locale for every label costs more than the label.
void check_locale_name(const hstring& localeName)
{
    static std::mutex mutex;
    static std::set<std::u16string, std::less<>> accepted;
    const std::u16string_view key = localeName;
    {
        const std::lock_guard lock(mutex);
        if (accepted.contains(key)) return;
    }
    const std::string name = localeName.empty() ? std::string("C") : foundation::utf::utf16_to_utf8(localeName);
    if (!language_country_locale(name) && !is_language_country(name)) throw std::runtime_error("bad locale name");
    const std::lock_guard lock(mutex);
    accepted.emplace(key);
}

// The format with its one {} or every {0} replaced by the value and {{ and }} by single braces,
// as std::format gives it; nothing when the format holds anything else (options after a colon,
// another index, a lone brace), which std::vformat then formats or refuses.
std::optional<std::u16string> substitute(std::u16string_view format, std::u16string_view value)
{
    std::u16string text;
    int automatic = 0;
    bool numbered = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const auto rest = format.substr(i);
        if (rest.starts_with(u"{{") || rest.starts_with(u"}}")) {
            text += format[i++];
        } else if (rest.starts_with(u"{}")) {
            ++automatic;
            text += value;
            ++i;
        } else if (rest.starts_with(u"{0}")) {
            numbered = true;
            text += value;
            i += 2;
        } else if (format[i] == u'{' || format[i] == u'}') {
            return std::nullopt;
        } else {
            text += format[i];
        }
    }
    if (automatic > 1 || (automatic && numbered)) return std::nullopt;
    return text;
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
    // The locale must exist, though a string argument formats alike in every locale.
    check_locale_name(localeName);
    if (auto text = substitute(format, value)) return hstring(std::move(*text));
    const std::string text = foundation::utf::utf16_to_utf8(value);
    const std::string formatted = std::vformat(foundation::utf::utf16_to_utf8(format), std::make_format_args(text));
    return hstring(foundation::utf::utf8_to_utf16(formatted));
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
