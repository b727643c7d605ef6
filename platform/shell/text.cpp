#include "platform/shell/text.h"

#include "platform/foundation/utf.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace shell {

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

int fail(DWORD error)
{
    last_error = error;
    return 0;
}

// Copies the converted text out, or reports the size needed when no buffer was given.
template <class Char>
int deliver(const std::basic_string<Char>& converted, Char* out, int capacity)
{
    if (converted.size() > static_cast<std::size_t>(INT32_MAX)) return fail(ERROR_INVALID_PARAMETER);
    const int needed = static_cast<int>(converted.size());
    if (capacity == 0) return needed;
    if (needed > capacity) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::copy(converted.begin(), converted.end(), out);
    return needed;
}

}  // namespace

DWORD GetLastError() noexcept { return last_error; }
void SetLastError(DWORD error) noexcept { last_error = error; }

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar)
{
    if (CodePage != CP_UTF8) return fail(ERROR_INVALID_PARAMETER);
    if ((dwFlags & ~MB_ERR_INVALID_CHARS) != 0) return fail(ERROR_INVALID_FLAGS);
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr))
        return fail(ERROR_INVALID_PARAMETER);

    const std::size_t length =
        cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    foundation::utf::result_flags flags;
    const auto converted = foundation::utf::utf8_to_utf16(std::string_view(lpMultiByteStr, length), &flags);
    if (flags.replaced && (dwFlags & MB_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
    return deliver(converted, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    if (CodePage != CP_UTF8) return fail(ERROR_INVALID_PARAMETER);
    if ((dwFlags & ~WC_ERR_INVALID_CHARS) != 0) return fail(ERROR_INVALID_FLAGS);
    // UTF-8 has no default character.
    if (lpDefaultChar || lpUsedDefaultChar) return fail(ERROR_INVALID_PARAMETER);
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr))
        return fail(ERROR_INVALID_PARAMETER);

    const std::size_t length =
        cchWideChar == -1 ? std::char_traits<char16_t>::length(lpWideCharStr) + 1 : static_cast<std::size_t>(cchWideChar);
    foundation::utf::result_flags flags;
    const auto converted = foundation::utf::utf16_to_utf8(std::u16string_view(lpWideCharStr, length), &flags);
    if (flags.replaced && (dwFlags & WC_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
    return deliver(converted, lpMultiByteStr, cbMultiByte);
}

}  // namespace shell
