#include "platform/shell/window.h"

#include "platform/xaml/Window.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <QWindow>

#include <map>
#include <memory>
#include <optional>

namespace shell {

namespace {

QWidget* widget_of(HWND hwnd)
{
    auto* window = xaml::Window::from_handle(hwnd);
    return window ? window->widget() : nullptr;
}

struct icon_slots {
    QPixmap small;
    QPixmap big;
};

std::map<HWND, icon_slots>& window_icons()
{
    static std::map<HWND, icon_slots> icons;
    return icons;
}

// Shared images by resource, size: handles stay valid for the process.
std::map<std::tuple<std::uintptr_t, int, int>, std::unique_ptr<QPixmap>>& shared_images()
{
    static std::map<std::tuple<std::uintptr_t, int, int>, std::unique_ptr<QPixmap>> images;
    return images;
}

struct remembered_positions {
    POINT min{-1, -1};
    POINT max{-1, -1};
};

std::map<HWND, remembered_positions>& positions()
{
    static std::map<HWND, remembered_positions> map;
    return map;
}

thread_local std::optional<DWORD> apartment;

}  // namespace

UINT GetDpiForWindow(HWND hwnd)
{
    QWidget* w = widget_of(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<UINT>(96.0 * w->devicePixelRatioF() + 0.5);
}

int GetSystemMetricsForDpi(int nIndex, UINT dpi)
{
    const int scaled_small = static_cast<int>(16 * dpi / 96);
    const int scaled_big = static_cast<int>(32 * dpi / 96);
    switch (nIndex) {
    case SM_CXSMICON:
    case SM_CYSMICON: return scaled_small;
    case SM_CXICON:
    case SM_CYICON: return scaled_big;
    default: return 0;
    }
}

HINSTANCE GetModuleHandleW(LPCWSTR moduleName)
{
    // The program itself is the only module with resources.
    static int self;
    return moduleName ? nullptr : reinterpret_cast<HINSTANCE>(&self);
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT)
{
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (type != IMAGE_ICON || id == 0 || id > 0xFFFF || cx <= 0 || cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& cache = shared_images();
    const auto key = std::make_tuple(id, cx, cy);
    if (const auto found = cache.find(key); found != cache.end()) return found->second.get();

    const QString folder = QString(":/icons/%1/").arg(id);
    QPixmap best;
    for (int size : {16, 24, 32, 48, 64, 96, 128, 256}) {
        QPixmap candidate(folder + QString::number(size) + ".png");
        if (candidate.isNull()) continue;
        best = candidate;
        if (size >= cx && size >= cy) break;
    }
    if (best.isNull()) {
        SetLastError(ENOENT);
        return nullptr;
    }
    if (best.width() != cx || best.height() != cy)
        best = best.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    auto& slot = cache[key];
    slot = std::make_unique<QPixmap>(best);
    return slot.get();
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    QWidget* w = widget_of(hwnd);
    if (!w || msg != WM_SETICON) return 0;
    auto& icons = window_icons()[hwnd];
    QPixmap& slot = wParam == ICON_SMALL ? icons.small : icons.big;
    static QPixmap previous;
    previous = slot;
    const auto* image = reinterpret_cast<const QPixmap*>(lParam);
    slot = image ? *image : QPixmap();
    QIcon icon;
    if (!icons.small.isNull()) icon.addPixmap(icons.small);
    if (!icons.big.isNull()) icon.addPixmap(icons.big);
    w->setWindowIcon(icon);
    return previous.isNull() ? 0 : reinterpret_cast<LRESULT>(&previous);
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    QWidget* w = widget_of(hwnd);
    if (!w || !placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const double scale = w->devicePixelRatioF();
    const QRect normal = w->normalGeometry().isValid() ? w->normalGeometry() : w->geometry();
    placement->flags = 0;
    placement->showCmd = w->isMinimized() ? SW_SHOWMINIMIZED : w->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    const auto& remembered = positions()[hwnd];
    placement->ptMinPosition = remembered.min;
    placement->ptMaxPosition = remembered.max;
    placement->rcNormalPosition = {static_cast<std::int32_t>(normal.left() * scale), static_cast<std::int32_t>(normal.top() * scale),
                                   static_cast<std::int32_t>((normal.left() + normal.width()) * scale),
                                   static_cast<std::int32_t>((normal.top() + normal.height()) * scale)};
    return 1;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement)
{
    QWidget* w = widget_of(hwnd);
    if (!w || !placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const auto& r = placement->rcNormalPosition;
    if (r.right <= r.left || r.bottom <= r.top) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    positions()[hwnd] = {placement->ptMinPosition, placement->ptMaxPosition};
    const double scale = w->devicePixelRatioF();
    const QRect normal(static_cast<int>(r.left / scale), static_cast<int>(r.top / scale),
                       static_cast<int>((r.right - r.left) / scale), static_cast<int>((r.bottom - r.top) / scale));
    // The normal rectangle is set in the normal state so that restoring returns to it.
    if (w->isMaximized() || w->isMinimized()) w->showNormal();
    w->setGeometry(normal);
    switch (placement->showCmd) {
    case SW_SHOWMAXIMIZED: w->isVisible() ? w->showMaximized() : w->setWindowState(Qt::WindowMaximized); break;
    case SW_SHOWMINIMIZED: w->isVisible() ? w->showMinimized() : w->setWindowState(Qt::WindowMinimized); break;
    default: break;
    }
    return 1;
}

foundation::hresult CoInitializeEx(void* reserved, DWORD coInit)
{
    if (reserved || (coInit != COINIT_APARTMENTTHREADED && coInit != COINIT_MULTITHREADED)) return foundation::E_INVALIDARG;
    if (!apartment) {
        apartment = coInit;
        return foundation::S_OK;
    }
    return *apartment == coInit ? S_FALSE : RPC_E_CHANGED_MODE;
}

}  // namespace shell
