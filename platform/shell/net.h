#pragma once
// inet_pton: an IPv4 or IPv6 address from its text form.
//
// The address families take their Win32 values; the POSIX names are macros, so platform code
// includes this header before any POSIX socket header.

#include "platform/shell/win32.h"

namespace shell {

using INT = int;
using PVOID = void*;

constexpr INT AF_INET = 2;
constexpr INT AF_INET6 = 23;

// Writes the address in network order (4 bytes for AF_INET, 16 for AF_INET6) and returns 1;
// returns 0 when the text is not an address of the family; returns -1 and sets the last error
// to EAFNOSUPPORT for any other family.
INT inet_pton(INT Family, LPCSTR pszAddrString, PVOID pAddrBuf);

}  // namespace shell
