#pragma once
// The top-level window: content, title, activation and closing, and the title bar that the
// window draws itself when its content extends into it.

#include "platform/shell/win32.h"
#include "platform/xaml/core/XamlRoot.h"

#include <span>

class QWidget;

namespace xaml {

enum class WindowActivationState { CodeActivated = 0, Deactivated = 1, PointerActivated = 2 };

class WindowActivatedEventArgs {
public:
    explicit WindowActivatedEventArgs(xaml::WindowActivationState state) : m_state(state) {}
    xaml::WindowActivationState WindowActivationState() const noexcept { return m_state; }

private:
    xaml::WindowActivationState m_state;
};

struct WindowEventArgs {
    bool Handled = false;
};

using WindowActivatedEventHandler = foundation::TypedEventHandler<IInspectable, WindowActivatedEventArgs>;
using WindowClosedEventHandler = foundation::TypedEventHandler<IInspectable, WindowEventArgs>;

struct RectInt32 {
    std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
    friend bool operator==(const RectInt32&, const RectInt32&) = default;
};

enum class TitleBarHeightOption { Standard = 0, Tall = 1, Collapsed = 2 };

class window_frame;
class Window;

// The window's title bar: extending content into it makes the window frameless; the window then
// draws its caption buttons in the right inset and moves from the drag rectangles.
class AppWindowTitleBar final : public foundation::Object {
public:
    explicit AppWindowTitleBar(Window* window) : m_window(window) {}
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Windowing.AppWindowTitleBar"; }

    bool ExtendsContentIntoTitleBar() const noexcept { return m_extends; }
    void ExtendsContentIntoTitleBar(bool value);
    TitleBarHeightOption PreferredHeightOption() const noexcept { return m_height; }
    void PreferredHeightOption(TitleBarHeightOption value);

    foundation::IReference<Color> ButtonBackgroundColor() const { return m_buttonBackground; }
    void ButtonBackgroundColor(foundation::IReference<Color> value);
    foundation::IReference<Color> ButtonInactiveBackgroundColor() const { return m_buttonInactiveBackground; }
    void ButtonInactiveBackgroundColor(foundation::IReference<Color> value);
    foundation::IReference<Color> ButtonForegroundColor() const { return m_buttonForeground; }
    void ButtonForegroundColor(foundation::IReference<Color> value);

    // Widths of the system areas at the edges, in physical pixels.
    std::int32_t LeftInset() const;
    std::int32_t RightInset() const;
    std::int32_t Height() const;

    // Areas, in physical pixels from the window's top left, from which the window is moved.
    void SetDragRectangles(std::span<const RectInt32> rectangles);
    const std::vector<RectInt32>& drag_rectangles() const noexcept { return m_drag; }

private:
    Window* m_window;
    bool m_extends = false;
    TitleBarHeightOption m_height = TitleBarHeightOption::Standard;
    foundation::IReference<Color> m_buttonBackground, m_buttonInactiveBackground, m_buttonForeground;
    std::vector<RectInt32> m_drag;
};

struct WindowId {
    std::uint64_t Value = 0;
    friend bool operator==(const WindowId&, const WindowId&) = default;
};

class AppWindow final : public foundation::Object {
public:
    explicit AppWindow(Window* window);
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Windowing.AppWindow"; }

    // The app window of a live window; null for an unknown identifier.
    static std::shared_ptr<AppWindow> GetFromWindowId(WindowId id);

    WindowId Id() const;
    const std::shared_ptr<AppWindowTitleBar>& TitleBar() const noexcept { return m_titleBar; }

private:
    Window* m_window;
    std::shared_ptr<AppWindowTitleBar> m_titleBar;
};

// What a window offers to a backdrop: the surface painted behind its content.
class ICompositionSupportsSystemBackdrop {
public:
    virtual ~ICompositionSupportsSystemBackdrop() = default;
    virtual QWidget* backdrop_surface() const = 0;
};

class Window : public foundation::Object, public ICompositionSupportsSystemBackdrop {
public:
    Window();
    ~Window() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Window")

    std::shared_ptr<UIElement> Content() const;
    void Content(const std::shared_ptr<UIElement>& value);
    hstring Title() const;
    void Title(const hstring& value);
    bool Visible() const;
    bool closed() const noexcept { return m_closed; }
    // Shows the window and brings it to the front.
    void Activate();
    // Closes the window: Closed is raised, the content unloads and the window goes away.
    void Close();

    XAML_EVENT(Activated, WindowActivatedEventHandler)
    XAML_EVENT(Closed, WindowClosedEventHandler)

    // IWindowNative
    shell::HWND WindowHandle() const noexcept;
    static Window* from_handle(shell::HWND handle) noexcept;

    const std::shared_ptr<xaml::XamlRoot>& root() const noexcept { return m_root; }
    QWidget* widget() const noexcept;
    QWidget* backdrop_surface() const override { return widget(); }
    const std::shared_ptr<xaml::AppWindow>& app_window();

protected:
    foundation::event<WindowActivatedEventHandler> m_Activated;
    foundation::event<WindowClosedEventHandler> m_Closed;

private:
    friend class window_frame;
    friend class AppWindowTitleBar;
    void activation_changed(bool active, bool byPointer);
    void closing();

    window_frame* m_frame = nullptr;
    std::shared_ptr<xaml::XamlRoot> m_root;
    std::shared_ptr<xaml::AppWindow> m_appWindow;
    bool m_closed = false;
};

// Interop: the identifier of a window handle, and back.
WindowId GetWindowIdFromWindow(shell::HWND handle);
shell::HWND GetWindowFromWindowId(WindowId id);

}  // namespace xaml
