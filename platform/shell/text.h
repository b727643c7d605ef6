#pragma once
// MultiByteToWideChar and WideCharToMultiByte for UTF-8 over UTF-16.
//
// Only code page CP_UTF8 is known. A call with no output buffer (count 0) returns the size
// needed; a count of -1 means a NUL-terminated input whose terminator is converted too.
// With flags 0, ill-formed input is replaced with U+FFFD; with MB_ERR_INVALID_CHARS or
// WC_ERR_INVALID_CHARS it fails with ERROR_NO_UNICODE_TRANSLATION.

#include "platform/shell/win32.h"

namespace shell {

constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);

}  // namespace shell
