#pragma once
// Locale queries and case-insensitive search.
//
// The system and the user default locale are both the process locale as the C library resolves
// it from the environment (LC_ALL, then LC_CTYPE, then LANG). The C and POSIX locales name no
// language or country: queries about them fail with ERROR_NO_DATA.

#include "platform/shell/win32.h"

namespace shell {

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x59;
constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x5A;
constexpr LCTYPE LOCALE_SNAME = 0x5C;

// A null name is the user default locale.
inline constexpr LPCWSTR LOCALE_NAME_USER_DEFAULT = nullptr;
inline constexpr LPCWSTR LOCALE_NAME_SYSTEM_DEFAULT = u"!x-sys-default-locale";

// Writes the answer with its terminator and returns its length including the terminator;
// with cchData 0, returns the size needed. 0 on failure (see GetLastError).
int GetLocaleInfoEx(LPCWSTR lpLocaleName, LCTYPE LCType, LPWSTR lpLCData, int cchData);
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);

// The first occurrence of pszSrch in pszFirst, ignoring case; null when there is none, when
// either argument is null, and for an empty search string.
PCWSTR StrStrIW(PCWSTR pszFirst, PCWSTR pszSrch);

}  // namespace shell
