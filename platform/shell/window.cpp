#include "platform/shell/window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace shell {

namespace {

std::set<HWND>& live_windows()
{
    static std::set<HWND> windows;
    return windows;
}

QWidget* widget_of(HWND hwnd) { return window_widget(hwnd); }

// What the calls below remember of a window lives on the window and goes with it.
class window_state final : public QObject {
public:
    static constexpr const char* name = "shell-window-state";
    explicit window_state(QWidget* window) : QObject(window) { setObjectName(name); }
    QPixmap small, big, previous;
    POINT min{-1, -1};
    POINT max{-1, -1};
};

window_state& state_of(QWidget* w)
{
    // Found by name: without a meta-object of its own, a typed look-up would take any child.
    if (auto* state = w->findChild<QObject*>(window_state::name, Qt::FindDirectChildrenOnly))
        return *static_cast<window_state*>(state);
    return *new window_state(w);
}

// Shared images by resource, size: handles stay valid for the process.
std::map<std::tuple<std::uintptr_t, int, int>, std::unique_ptr<QPixmap>>& shared_images()
{
    static std::map<std::tuple<std::uintptr_t, int, int>, std::unique_ptr<QPixmap>> images;
    return images;
}

thread_local std::optional<DWORD> apartment;

// A rectangle that shows on no screen goes to the work area nearest to it; one larger than its
// work area is cut to it. Either then lies wholly on that area.
QRect onto_a_screen(QRect wanted)
{
    const auto screens = QGuiApplication::screens();
    if (screens.isEmpty()) return wanted;
    auto distance = [&](const QRect& area) {
        if (area.intersects(wanted)) return -static_cast<long long>(area.intersected(wanted).width()) * area.intersected(wanted).height();
        const QPoint c = wanted.center();
        const long long dx = std::max({area.left() - c.x(), 0, c.x() - area.right()});
        const long long dy = std::max({area.top() - c.y(), 0, c.y() - area.bottom()});
        return dx * dx + dy * dy;
    };
    QRect area = screens.front()->availableGeometry();
    for (const QScreen* screen : screens)
        if (distance(screen->availableGeometry()) < distance(area)) area = screen->availableGeometry();
    const bool tooLarge = wanted.width() > area.width() || wanted.height() > area.height();
    if (area.intersects(wanted) && !tooLarge) return wanted;
    QRect placed(wanted.topLeft(), wanted.size().boundedTo(area.size()));
    placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() + 1 - placed.height()));
    return placed;
}

}  // namespace

HWND register_window(QWidget* window)
{
    const auto hwnd = reinterpret_cast<HWND>(window);
    live_windows().insert(hwnd);
    return hwnd;
}

void unregister_window(HWND hwnd) noexcept { live_windows().erase(hwnd); }

QWidget* window_widget(HWND hwnd) noexcept
{
    return hwnd && live_windows().contains(hwnd) ? reinterpret_cast<QWidget*>(hwnd) : nullptr;
}

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
    auto& icons = state_of(w);
    QPixmap& slot = wParam == ICON_SMALL ? icons.small : icons.big;
    icons.previous = slot;
    const auto* image = reinterpret_cast<const QPixmap*>(lParam);
    slot = image ? *image : QPixmap();
    QIcon icon;
    if (!icons.small.isNull()) icon.addPixmap(icons.small);
    if (!icons.big.isNull()) icon.addPixmap(icons.big);
    w->setWindowIcon(icon);
    return icons.previous.isNull() ? 0 : reinterpret_cast<LRESULT>(&icons.previous);
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
    const auto& remembered = state_of(w);
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
    auto& remembered = state_of(w);
    remembered.min = placement->ptMinPosition;
    remembered.max = placement->ptMaxPosition;
    const double scale = w->devicePixelRatioF();
    // In 64 bits: an absurd stored rectangle must not overflow on its way to the screen.
    auto logical = [scale](std::int64_t value) {
        return static_cast<int>(std::clamp<double>(static_cast<double>(value) / scale, -(1 << 24), 1 << 24));
    };
    const QRect normal = onto_a_screen(QRect(logical(r.left), logical(r.top), logical(std::int64_t{r.right} - r.left),
                                             logical(std::int64_t{r.bottom} - r.top)));
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
