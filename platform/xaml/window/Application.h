#pragma once
// The application object: the process's one Application, the start of the UI thread's message
// loop, and the entry point of markup loading.

#include "platform/foundation/event.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/core/resources.h"

namespace xaml {

enum class ComponentResourceLocation { Application = 0, Nested = 1 };

class LaunchActivatedEventArgs {
public:
    explicit LaunchActivatedEventArgs(hstring arguments) : m_arguments(std::move(arguments)) {}
    // The command line's arguments after the program's name, joined by spaces.
    const hstring& Arguments() const noexcept { return m_arguments; }

private:
    hstring m_arguments;
};

class ApplicationInitializationCallbackParams {};
using ApplicationInitializationCallback = foundation::delegate<ApplicationInitializationCallbackParams>;

class Application : public foundation::Object {
public:
    ~Application() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Application")

    // The application made last; the platform keeps it while the message loop runs.
    static std::shared_ptr<Application> Current();

    // Runs the application on this thread: the callback makes the Application, which is then
    // launched; returns when the message loop ends, after the last window has closed. When the
    // callback or OnLaunched fails, the loop does not run and Start fails with that error.
    // When no display can be reached, the process ends with one line on stderr and status 1.
    static void Start(ApplicationInitializationCallback callback);

    // Loads "ms-appx:///Name.xaml" into the component; see load_component. Both resource
    // locations name the application's folder.
    static void LoadComponent(const IInspectable& component, const hstring& uri,
                              ComponentResourceLocation location = ComponentResourceLocation::Application);

    std::shared_ptr<ResourceDictionary> Resources() const { return application_resources(); }

    // Called once the application exists and the message loop is about to run.
    virtual void OnLaunched(const LaunchActivatedEventArgs&) {}

protected:
    Application();
};

// Registers the UI layer's types for markup and activation, once; Start calls it, and so does a
// test set-up that makes elements without starting an application.
void register_types();

// The command line that Start gives the message loop and the launch arguments; main passes
// its own. The strings must outlive the application.
void set_command_line(int argc, char** argv);

// Test hook: undoes what Start leaves to the process (the UI thread's queue, the sealed type
// registry, the desktop appearance it follows), so that tests after one that starts an application find the process as before.
void reset_start_for_tests();

}  // namespace xaml
