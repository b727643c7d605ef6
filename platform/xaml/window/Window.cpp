#include "platform/xaml/window/Window.h"

#include "platform/shell/window.h"
#include "platform/xaml/core/qt_bridge.h"
#include "platform/xaml/window/window_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace xaml {

namespace {

int title_bar_height(TitleBarHeightOption option)
{
    return option == TitleBarHeightOption::Tall ? 48 : option == TitleBarHeightOption::Collapsed ? 0 : 32;
}

// Assistive technology sees the top-level widget as a frame (a window), not a filler.
QAccessibleInterface* frame_accessible(const QString&, QObject* object)
{
    auto* frame = dynamic_cast<window_frame*>(object);
    return frame ? new QAccessibleWidget(frame, QAccessible::Window) : nullptr;
}

}  // namespace

// ---- AppWindowTitleBar ----

void AppWindowTitleBar::ExtendsContentIntoTitleBar(bool value)
{
    if (value == m_extends) return;
    m_extends = value;
    if (m_window) m_window->m_frame->set_frameless(value);
}

void AppWindowTitleBar::PreferredHeightOption(TitleBarHeightOption value)
{
    m_height = value;
    if (m_window) m_window->m_frame->set_title_bar_height(title_bar_height(value));
}

void AppWindowTitleBar::ButtonBackgroundColor(foundation::IReference<Color> value)
{
    m_buttonBackground = value;
    if (m_window) m_window->m_frame->refresh_captions(*this);
}

void AppWindowTitleBar::ButtonInactiveBackgroundColor(foundation::IReference<Color> value)
{
    m_buttonInactiveBackground = value;
    if (m_window) m_window->m_frame->refresh_captions(*this);
}

void AppWindowTitleBar::ButtonForegroundColor(foundation::IReference<Color> value)
{
    m_buttonForeground = value;
    if (m_window) m_window->m_frame->refresh_captions(*this);
}

std::int32_t AppWindowTitleBar::LeftInset() const { return 0; }

std::int32_t AppWindowTitleBar::RightInset() const
{
    if (!m_window || !m_extends) return 0;
    return static_cast<std::int32_t>(m_window->m_frame->captions_width() * m_window->m_frame->devicePixelRatioF());
}

std::int32_t AppWindowTitleBar::Height() const
{
    const double scale = m_window ? m_window->m_frame->devicePixelRatioF() : 1.0;
    return static_cast<std::int32_t>(title_bar_height(m_height) * scale);
}

void AppWindowTitleBar::SetDragRectangles(std::span<const RectInt32> rectangles)
{
    m_drag.assign(rectangles.begin(), rectangles.end());
}

// ---- AppWindow ----

AppWindow::AppWindow(Window* window) : m_window(window), m_titleBar(foundation::make<AppWindowTitleBar>(window)) {}

std::shared_ptr<AppWindow> AppWindow::GetFromWindowId(WindowId id)
{
    Window* window = Window::from_handle(GetWindowFromWindowId(id));
    return window ? window->app_window() : nullptr;
}

WindowId AppWindow::Id() const { return GetWindowIdFromWindow(m_window->WindowHandle()); }

WindowId GetWindowIdFromWindow(shell::HWND handle) { return {reinterpret_cast<std::uint64_t>(handle)}; }

shell::HWND GetWindowFromWindowId(WindowId id) { return reinterpret_cast<shell::HWND>(id.Value); }

// ---- Window ----

Window::Window() : m_frame(new window_frame(this)), m_root(foundation::make<xaml::XamlRoot>(m_frame))
{
    static const bool accessible = (QAccessible::installFactory(frame_accessible), true);
    (void)accessible;
    shell::register_window(m_frame);
}

Window::~Window()
{
    shell::unregister_window(WindowHandle());
    m_frame->detach();
    if (m_root) m_root->set_live(false);
    m_root.reset();
    delete m_frame;
}

std::shared_ptr<UIElement> Window::Content() const { return m_root->Content(); }
void Window::Content(const std::shared_ptr<UIElement>& value) { m_root->Content(value); }
hstring Window::Title() const { return from_qstring(m_frame->windowTitle()); }
void Window::Title(const hstring& value) { m_frame->setWindowTitle(to_qstring(value)); }
bool Window::Visible() const { return m_frame->isVisible(); }
QWidget* Window::widget() const noexcept { return m_frame; }

void Window::Activate()
{
    if (m_closed) throw foundation::hresult_illegal_method_call(u"The window is closed");
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
}

void Window::Close()
{
    if (!m_closed) m_frame->close();
}

shell::HWND Window::WindowHandle() const noexcept { return reinterpret_cast<shell::HWND>(m_frame); }

Window* Window::from_handle(shell::HWND handle) noexcept
{
    auto* frame = dynamic_cast<window_frame*>(shell::window_widget(handle));
    return frame ? frame->owner() : nullptr;
}

const std::shared_ptr<AppWindow>& Window::app_window()
{
    if (!m_appWindow) m_appWindow = foundation::make<AppWindow>(this);
    return m_appWindow;
}

void Window::activation_changed(bool active, bool byPointer)
{
    const auto state = !active ? WindowActivationState::Deactivated
                       : byPointer ? WindowActivationState::PointerActivated
                                   : WindowActivationState::CodeActivated;
    m_Activated(strong_self(), WindowActivatedEventArgs(state));
}

void Window::closing()
{
    if (m_closed) return;
    m_closed = true;
    WindowEventArgs args;
    auto self = strong_self();  // handlers may drop the last other reference
    m_Closed(self, args);
    m_root->set_live(false);
}

}  // namespace xaml
