#include "platform/xaml/window/Application.h"

#include "platform/foundation/utf.h"
#include "platform/xaml/window/Dispatching.h"
#include "platform/xaml/window/Window.h"
#include "platform/xaml/window/appearance.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/registration.h"
#include "platform/xaml/markup/registration.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace xaml {

namespace {

int command_count = 0;
char* no_arguments[] = {nullptr};
char** command_line = no_arguments;

// The platform's reference: the application lives as long as the message loop.
std::shared_ptr<Application>& current_application()
{
    static std::shared_ptr<Application> current;
    return current;
}

hstring launch_arguments()
{
    std::u16string joined;
    for (int i = 1; i < command_count; ++i) {
        if (!joined.empty()) joined += u' ';
        joined += foundation::utf::utf8_to_utf16(command_line[i]);
    }
    return hstring(std::move(joined));
}

// The exception being handled as a platform error, its message kept.
foundation::hresult_error current_failure()
{
    try {
        throw;
    } catch (const foundation::hresult_error& e) {
        return e;
    } catch (const std::exception& e) {
        return foundation::hresult_error(foundation::to_hresult(), foundation::utf::utf8_to_utf16(e.what()));
    } catch (...) {
        return foundation::hresult_error(foundation::E_FAIL, u"An unknown exception ended start-up");
    }
}

// The end of the self-pipe that the signal handler writes to.
int signal_pipe_input = -1;

void on_closing_signal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signal_pipe_input, &byte, 1);
    errno = saved;
}

// Closes every window as its close button does, dialogs first, then ends the loop. A click
// comes after what the window system said before it; a signal does not wait for that, so the
// windows catch up first (a move just made is the placement that is saved).
void close_every_window()
{
    QGuiApplication::sync();
    for (QWidget* modal = QApplication::activeModalWidget(); modal && modal->close();) {
        QWidget* next = QApplication::activeModalWidget();
        modal = next != modal ? next : nullptr;
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->close();
    QCoreApplication::quit();
}

// While the loop runs, a logout (SIGHUP), a kill (SIGTERM) or Ctrl+C (SIGINT) closes the
// windows, so that what closing saves is saved. The handler only writes to a pipe; the loop
// reads it. A signal that the caller has ignored (nohup) stays ignored.
class closing_signals {
public:
    closing_signals()
    {
        if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        signal_pipe_input = m_pipe[1];
        m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [fd = m_pipe[0]] {
            char bytes[64];
            while (::read(fd, bytes, sizeof bytes) > 0) {
            }
            close_every_window();
        });
        struct sigaction action {};
        action.sa_handler = on_closing_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(handled); ++i) {
            m_installed[i] = ::sigaction(handled[i], nullptr, &m_previous[i]) == 0 && m_previous[i].sa_handler != SIG_IGN &&
                             ::sigaction(handled[i], &action, nullptr) == 0;
        }
    }
    ~closing_signals()
    {
        for (std::size_t i = 0; i < std::size(handled); ++i)
            if (m_installed[i]) ::sigaction(handled[i], &m_previous[i], nullptr);
        m_notifier.reset();
        signal_pipe_input = -1;
        for (const int fd : m_pipe)
            if (fd >= 0) ::close(fd);
    }
    closing_signals(const closing_signals&) = delete;
    closing_signals& operator=(const closing_signals&) = delete;

private:
    static constexpr int handled[] = {SIGTERM, SIGINT, SIGHUP};
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previous[std::size(handled)] {};
    bool m_installed[std::size(handled)] = {};
};

// What Qt says while it looks for a display, held back until the start has gone one way or
// the other.
struct held_message {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<held_message>& held_messages()
{
    static std::vector<held_message> held;
    return held;
}

// Qt aborts the process when no platform plugin reaches a display. A desktop program without a
// display ends with one line saying so and status 1 instead.
void no_display(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        held_messages().push_back({type, context.category, text});
        return;
    }
    QString reason;
    for (const auto& message : held_messages())
        if (message.category.startsWith("qt.qpa")) {
            reason = message.text.trimmed();
            break;
        }
    const QByteArray program = command_count > 0 ? QFileInfo(QString::fromLocal8Bit(command_line[0])).fileName().toLocal8Bit()
                                                 : QByteArray("zintrel");
    std::fprintf(stderr, "%s: cannot start: no graphical display%s; run it in a desktop session or under xvfb-run\n",
                 program.constData(), reason.isEmpty() ? "" : (" (" + reason.toLocal8Bit() + ")").constData());
    std::fflush(stderr);
    std::_Exit(1);
}

std::unique_ptr<QApplication> make_qt_application()
{
    const QtMessageHandler previous = qInstallMessageHandler(no_display);
    auto qt = std::make_unique<QApplication>(command_count, command_line);
    qInstallMessageHandler(previous);
    for (const auto& message : std::exchange(held_messages(), {}))
        previous(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()), message.text);
    return qt;
}

}  // namespace

void set_command_line(int argc, char** argv)
{
    command_count = argv ? argc : 0;
    command_line = argv ? argv : no_arguments;
}

Application::Application() { current_application() = get_strong(this); }

Application::~Application() = default;

std::shared_ptr<Application> Application::Current() { return current_application(); }

void Application::Start(ApplicationInitializationCallback callback)
{
    // Tests bring their own Qt application; a program gets one here.
    std::unique_ptr<QApplication> qt;
    if (!QCoreApplication::instance()) qt = make_qt_application();
    follow_desktop_appearance();
    create_ui_thread_queue();
    // From here on, before any window shows: a signal that comes early is handled when the loop runs.
    closing_signals closing;
    // Markup reads the registry from here on: the program has registered its own types by now.
    register_types();
    metadata::seal();

    // A failure to make or launch the application is the result of Start; the loop never runs.
    std::optional<foundation::hresult_error> failure;
    try {
        callback(ApplicationInitializationCallbackParams{});
    } catch (...) {
        failure = current_failure();
    }
    if (auto application = Current(); application && !failure) {
        try {
            application->OnLaunched(LaunchActivatedEventArgs(launch_arguments()));
        } catch (...) {
            failure = current_failure();
        }
        if (!failure) QApplication::exec();
    }
    // Runs in flight end before the process does: what they wrote is whole, and no thread works
    // on while exit handlers tear the libraries down. The window's end may set more going.
    foundation::ui_thread::finish_pending_work();
    // The application goes before the Qt application it was made under.
    current_application().reset();
    foundation::ui_thread::finish_pending_work();
    if (failure) throw *failure;
}

void reset_start_for_tests()
{
    stop_following_desktop_appearance();
    forget_ui_thread_queue_for_tests();
    metadata::unseal_for_tests();
}

void Application::LoadComponent(const IInspectable& component, const hstring& uri, ComponentResourceLocation)
{
    load_component(component, uri);
}

namespace {

// The roots of the application's markup and of a window's markup. The resources of the
// application's markup join the application's resources.
void register_window_types()
{
    metadata::type_builder(Application::class_name, u"")
        .member(u"Resources", u"Object", [](const IInspectable&, const IInspectable& value) {
            application_resources()->MergedDictionaries().push_back(foundation::as<ResourceDictionary>(value));
        });
    metadata::type_builder(Window::class_name, u"")
        .member(u"Title", u"String", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Window>(target)->Title(foundation::unbox_value<hstring>(value));
        })
        .member(u"Content", u"Object", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Window>(target)->Content(value ? foundation::as<UIElement>(value) : nullptr);
        })
        .content(u"Content");
}

}  // namespace

void register_types()
{
    static std::once_flag once;
    std::call_once(once, [] {
        register_elements();
        register_brushes();
        register_automation();
        register_control_bases();
        register_auto_suggest_box();
        register_border();
        register_button();
        register_combo_box();
        register_content_dialog();
        register_font_icon();
        register_frame();
        register_grid();
        register_image();
        register_menu_flyout();
        register_navigation_view();
        register_navigation_view_item();
        register_number_box();
        register_panel();
        register_password_box();
        register_progress_ring();
        register_radio_buttons();
        register_relative_panel();
        register_scroll_viewer();
        register_selector();
        register_stack_panel();
        register_text_block();
        register_text_box();
        register_toggle_button();
        register_tool_tip_service();
        register_items_repeater();
        markup_detail::register_loader_types();
        register_window_types();
    });
}

}  // namespace xaml
