#include "platform/xaml/window/Application.h"

#include "platform/foundation/utf.h"
#include "platform/xaml/window/Dispatching.h"
#include "platform/xaml/window/Window.h"
#include "platform/xaml/core/metadata.h"

#include <QApplication>

#include <exception>
#include <memory>
#include <optional>

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
    if (!QCoreApplication::instance()) qt = std::make_unique<QApplication>(command_count, command_line);
    create_ui_thread_queue();
    // Every type has registered itself by now; markup reads the registry from here on.
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
    // The application goes before the Qt application it was made under.
    current_application().reset();
    if (failure) throw *failure;
}

void Application::LoadComponent(const IInspectable& component, const hstring& uri, ComponentResourceLocation)
{
    load_component(component, uri);
}

namespace {

// The roots of the application's markup and of a window's markup. The resources of the
// application's markup join the application's resources.
const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Application", u"")
        .member(u"Resources", u"Object", [](const IInspectable&, const IInspectable& value) {
            application_resources()->MergedDictionaries().push_back(foundation::as<ResourceDictionary>(value));
        });
    metadata::type_builder(u"Microsoft.UI.Xaml.Window", u"")
        .member(u"Title", u"String", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Window>(target)->Title(foundation::unbox_value<hstring>(value));
        })
        .member(u"Content", u"Object", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Window>(target)->Content(value ? foundation::as<UIElement>(value) : nullptr);
        })
        .content(u"Content");
    return true;
}();

}  // namespace

}  // namespace xaml
