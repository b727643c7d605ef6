#pragma once
// Win32 window calls on our windows: DPI, system metrics, icons, placement, and the thread
// apartment call of start-up.

#include "platform/foundation/error.h"
#include "platform/shell/win32.h"

class QWidget;

namespace shell {

// Top-level widgets known by their handle. The UI layer registers a window as it makes it and
// unregisters it before the widget goes; an unknown handle fails every call below.
HWND register_window(QWidget* window);
void unregister_window(HWND hwnd) noexcept;
QWidget* window_widget(HWND hwnd) noexcept;

// The window's DPI: 96 times its screen's device pixel ratio; 0 for an unknown handle.
UINT GetDpiForWindow(HWND hwnd);

constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
int GetSystemMetricsForDpi(int nIndex, UINT dpi);

// Icon resources compiled into the program: resource N is the set of PNG images under the Qt
// resource folder ":/icons/N/" named by their pixel size ("16.png" ... "256.png").
inline const char16_t* MAKEINTRESOURCEW(std::uint16_t id) { return reinterpret_cast<const char16_t*>(std::uintptr_t{id}); }
HINSTANCE GetModuleHandleW(LPCWSTR moduleName);
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_SHARED = 0x8000;
// The image of the resource at the size asked for, scaled from the nearest size not smaller;
// null when the resource does not exist. Shared images live as long as the process.
HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);

constexpr UINT WM_SETICON = 0x0080;
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
// Only WM_SETICON is known: sets the window's small or big icon, returns the previous one.
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

constexpr UINT SW_SHOWNORMAL = 1;
constexpr UINT SW_SHOWMINIMIZED = 2;
constexpr UINT SW_SHOWMAXIMIZED = 3;

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44);

// Placement in physical pixels of the desktop; length must be sizeof(WINDOWPLACEMENT).
// Setting a normal rectangle that lies on no screen (a monitor unplugged since) moves it onto
// the nearest screen's work area; one larger than its work area is cut to fit it.
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr foundation::hresult S_FALSE = 1;
constexpr foundation::hresult RPC_E_CHANGED_MODE = static_cast<foundation::hresult>(0x80010106);
// Marks the thread's apartment kind: S_OK the first time, S_FALSE again for the same kind,
// RPC_E_CHANGED_MODE for another kind.
foundation::hresult CoInitializeEx(void* reserved, DWORD coInit);

}  // namespace shell
