#include "app/TextHelpers.h"

#include "platform/foundation/format.h"
#include "platform/foundation/utf.h"
#include "platform/shell/locale.h"

#include <cstdint>
#include <stdexcept>

namespace Zintrel {

std::u16string error_code_text(const std::error_code& code)
{
    const std::int32_t value = code.value();
    const std::string name = code.category().name();
    if (value >= 0) return foundation::utf::utf8_to_utf16(name + ":" + std::to_string(value));
    return foundation::utf::utf8_to_utf16(std::format("{}:{:#09x}", name, static_cast<std::uint32_t>(value)));
}

std::u16string error_message_text(const std::error_code& code)
{
    return u"[" + error_code_text(code) + u"] " + foundation::utf::utf8_to_utf16(code.message());
}

std::optional<std::locale> language_country_locale(const std::string& name)
{
    try {
        return std::locale(name);
    } catch (const std::runtime_error&) {
    }
    const auto hyphen = name.find('-');
    if (hyphen == std::string::npos) return std::nullopt;
    std::string posix = name;
    posix[hyphen] = '_';
    try {
        return std::locale(posix + ".UTF-8");
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

std::locale make_system_locale() noexcept
{
    try {
        char buffer[18] = {};
        const int n = shell::GetLocaleInfoA(shell::LOCALE_SYSTEM_DEFAULT, shell::LOCALE_SISO639LANGNAME, buffer, 9);
        if (n <= 1) return std::locale::classic();
        buffer[n - 1] = '-';
        if (shell::GetLocaleInfoA(shell::LOCALE_SYSTEM_DEFAULT, shell::LOCALE_SISO3166CTRYNAME, buffer + n, 9) <= 1)
            return std::locale::classic();
        return language_country_locale(buffer).value_or(std::locale::classic());
    } catch (...) {
        return std::locale::classic();
    }
}

const std::locale system_locale = make_system_locale();

}  // namespace Zintrel
