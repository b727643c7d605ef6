#pragma once
// Win32 names shared by the shell stand-ins.
//
// The last error is kept per thread, as on the platform. Its values are errno values, so that a
// std::system_error built from it in the system category reads correctly on Linux.

#include <cerrno>
#include <cstdint>

namespace shell {

using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = int;
using LCID = std::uint32_t;
using LCTYPE = std::uint32_t;
using WCHAR = char16_t;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using LPSTR = char*;
using LPCSTR = const char*;
using PCWSTR = const char16_t*;
using PWSTR = char16_t*;

// A window's handle: opaque, valid while the window lives.
struct HWND__;
using HWND = HWND__*;
struct HICON__;
using HICON = HICON__*;
using HANDLE = void*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct POINT {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_PARAMETER = EINVAL;
constexpr DWORD ERROR_INVALID_FLAGS = EINVAL;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = ENOBUFS;
constexpr DWORD ERROR_NO_DATA = ENODATA;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = EBADF;

DWORD GetLastError() noexcept;
void SetLastError(DWORD error) noexcept;

}  // namespace shell
