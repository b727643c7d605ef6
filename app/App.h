#pragma once
// The application object: loads the application markup, finds out once whether the process has
// a package identity, and makes and keeps the main window.

#include "platform/shell/win32.h"
#include "platform/xaml/window/Application.h"
#include "platform/xaml/window/Window.h"

namespace Zintrel {

class App final : public xaml::Application {
public:
    App();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.App"; }

    void InitializeComponent();
    void OnLaunched(const xaml::LaunchActivatedEventArgs& args) override;

    // True when the process has no package identity: no local setting is read or written then.
    bool IsUnpackaged = false;

    // The main window's native handle; 0 before the window exists.
    shell::HWND GetMainWindowHandle() const;

    // The one App of the process.
    static std::shared_ptr<App> current();

private:
    bool m_contentLoaded = false;
    std::shared_ptr<xaml::Window> m_window;
};

// The process entry in its platform form.
int wWinMain(shell::HINSTANCE, shell::HINSTANCE, shell::PWSTR, int);

}  // namespace Zintrel
