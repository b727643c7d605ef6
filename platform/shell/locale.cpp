#include "platform/shell/locale.h"

#include <QChar>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

namespace {

struct locale_parts {
    std::string language;  // ISO 639, lower case
    std::string country;   // ISO 3166, upper case
};

std::string environment_locale()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

bool all_of(std::string_view text, int (*test)(int))
{
    for (unsigned char c : text)
        if (!test(c)) return false;
    return !text.empty();
}

// language[_territory][.codeset][@modifier], or language-territory as Windows writes it.
std::optional<locale_parts> parse(std::string_view name)
{
    name = name.substr(0, name.find_first_of(".@"));
    const auto separator = name.find_first_of("_-");
    locale_parts parts;
    parts.language = std::string(name.substr(0, separator));
    if (separator != std::string_view::npos) parts.country = std::string(name.substr(separator + 1));
    if (parts.language.size() < 2 || parts.language.size() > 3 || !all_of(parts.language, isalpha)) return std::nullopt;
    if (!parts.country.empty() && !(parts.country.size() == 2 && all_of(parts.country, isalpha)) &&
        !(parts.country.size() == 3 && all_of(parts.country, isdigit)))
        return std::nullopt;
    for (auto& c : parts.language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto& c : parts.country) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return parts;
}

int fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

// The text one query asks for, or the error that answers it.
std::optional<std::string> query(std::string_view locale_name, LCTYPE type, DWORD& error)
{
    const auto parts = parse(locale_name);
    if (!parts) {
        error = ERROR_NO_DATA;
        return std::nullopt;
    }
    switch (type) {
    case LOCALE_SISO639LANGNAME:
        return parts->language;
    case LOCALE_SISO3166CTRYNAME:
    case LOCALE_SNAME:
        if (parts->country.empty()) {
            error = ERROR_NO_DATA;
            return std::nullopt;
        }
        return type == LOCALE_SNAME ? parts->language + "-" + parts->country : parts->country;
    default:
        error = ERROR_INVALID_FLAGS;
        return std::nullopt;
    }
}

template <class Char>
int deliver(const std::string& answer, Char* out, int capacity)
{
    const int needed = static_cast<int>(answer.size()) + 1;
    if (capacity < 0 || (capacity > 0 && !out)) return fail(ERROR_INVALID_PARAMETER);
    if (capacity == 0) return needed;
    if (needed > capacity) return fail(ERROR_INSUFFICIENT_BUFFER);
    for (std::size_t i = 0; i < answer.size(); ++i) out[i] = static_cast<Char>(static_cast<unsigned char>(answer[i]));
    out[answer.size()] = 0;
    return needed;
}

}  // namespace

int GetLocaleInfoEx(LPCWSTR lpLocaleName, LCTYPE LCType, LPWSTR lpLCData, int cchData)
{
    std::string name;
    if (!lpLocaleName || std::u16string_view(lpLocaleName) == LOCALE_NAME_SYSTEM_DEFAULT) {
        name = environment_locale();
    } else {
        for (const char16_t* p = lpLocaleName; *p; ++p) {
            if (*p > 0x7F) return fail(ERROR_INVALID_PARAMETER);
            name.push_back(static_cast<char>(*p));
        }
    }
    DWORD error = ERROR_SUCCESS;
    const auto answer = query(name, LCType, error);
    if (!answer) return fail(error);
    return deliver(*answer, lpLCData, cchData);
}

int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData)
{
    if (Locale != LOCALE_SYSTEM_DEFAULT && Locale != LOCALE_USER_DEFAULT) return fail(ERROR_INVALID_PARAMETER);
    DWORD error = ERROR_SUCCESS;
    const auto answer = query(environment_locale(), LCType, error);
    if (!answer) return fail(error);
    return deliver(*answer, lpLCData, cchData);
}

PCWSTR StrStrIW(PCWSTR pszFirst, PCWSTR pszSrch)
{
    if (!pszFirst || !pszSrch || !*pszSrch) return nullptr;
    const std::u16string_view search(pszSrch);
    for (PCWSTR start = pszFirst; *start; ++start) {
        std::size_t i = 0;
        while (i < search.size() && start[i] &&
               QChar::toCaseFolded(start[i]) == QChar::toCaseFolded(search[i]))
            ++i;
        if (i == search.size()) return start;
    }
    return nullptr;
}

}  // namespace shell
