#include "app/TextHelpers.h"

#include "platform/foundation/format.h"
#include "platform/shell/locale.h"
#include "platform/shell/text.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <stdexcept>

namespace Zintrel {

namespace {

[[noreturn]] void throw_last_error()
{
    throw std::system_error(static_cast<int>(shell::GetLastError()), std::system_category());
}

int checked_length(std::size_t length)
{
    // The platform counts in int: a longer text cannot be converted in one call.
    if (length > static_cast<std::size_t>(INT_MAX)) throw std::system_error(EOVERFLOW, std::system_category());
    return static_cast<int>(length);
}

}  // namespace

std::u16string to_wide(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int length = checked_length(utf8.size());
    const int needed = shell::MultiByteToWideChar(shell::CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (needed == 0) throw_last_error();
    std::u16string result(static_cast<std::size_t>(needed), u'\0');
    const int written = shell::MultiByteToWideChar(shell::CP_UTF8, 0, utf8.data(), length, result.data(), needed);
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::string to_utf8(std::u16string_view utf16)
{
    if (utf16.empty()) return {};
    const int length = checked_length(utf16.size());
    const int needed = shell::WideCharToMultiByte(shell::CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed == 0) throw_last_error();
    std::string result(static_cast<std::size_t>(needed), '\0');
    const int written =
        shell::WideCharToMultiByte(shell::CP_UTF8, 0, utf16.data(), length, result.data(), needed, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::u16string error_code_text(const std::error_code& code)
{
    const std::int32_t value = code.value();
    const std::string name = code.category().name();
    if (value >= 0) return to_wide(name + ":" + std::to_string(value));
    return to_wide(std::format("{}:{:#09x}", name, static_cast<std::uint32_t>(value)));
}

std::u16string error_message_text(const std::error_code& code)
{
    return u"[" + error_code_text(code) + u"] " + to_wide(code.message());
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
