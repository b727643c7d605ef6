#pragma once
// The failure-dialog text of an error code, and the process-wide locale of the system.

#include <locale>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace Zintrel {

// "name:value"; a negative value as 0x and eight hexadecimal digits of its bit pattern.
std::u16string error_code_text(const std::error_code& code);
// "[name:value] message".
std::u16string error_message_text(const std::error_code& code);

// The system default locale, named language-country (en-US). Where the C++ runtime knows no
// locale of that name it is the same locale in POSIX spelling (en_US.UTF-8), else the classic one.
extern const std::locale system_locale;

// The C++ runtime's locale for a language-country name (en-US): of that name where the runtime
// knows one, else the same locale in POSIX spelling (en_US.UTF-8); none where this machine has
// neither.
std::optional<std::locale> language_country_locale(const std::string& name);

// How system_locale is built; never throws.
std::locale make_system_locale() noexcept;

}  // namespace Zintrel
