#include "app/App.h"

#include "app/MainWindow.h"
#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"
#include "platform/shell/window.h"
#include "platform/xaml/core/metadata.h"

namespace Zintrel {

App::App()
{
    InitializeComponent();
    try {
        appmodel::Package::Current();
    } catch (const foundation::hresult_error& e) {
        // Only a missing identity counts; any other failure leaves the flag as it is.
        if (e.code() == foundation::APPMODEL_ERROR_NO_PACKAGE) IsUnpackaged = true;
    }
}

void App::InitializeComponent()
{
    if (m_contentLoaded) return;
    m_contentLoaded = true;
    LoadComponent(strong_self(), u"ms-appx:///App.xaml");
}

void App::OnLaunched(const xaml::LaunchActivatedEventArgs&)
{
    // With a package, its settings open here: a manifest that cannot be read fails the launch
    // with its own message instead of ending the process from the window's settings coroutine.
    if (!IsUnpackaged) appmodel::ApplicationData::Current();
    m_window = foundation::make<MainWindow>();
    m_window->Activate();
}

shell::HWND App::GetMainWindowHandle() const
{
    // IWindowNative: the handle stays 0 when there is no window.
    return m_window ? m_window->WindowHandle() : nullptr;
}

std::shared_ptr<App> App::current() { return std::dynamic_pointer_cast<App>(xaml::Application::Current()); }

int wWinMain(shell::HINSTANCE, shell::HINSTANCE, shell::PWSTR, int)
{
    foundation::check_hresult(shell::CoInitializeEx(nullptr, shell::COINIT_APARTMENTTHREADED));
    xaml::Application::Start([](const auto&) { foundation::make<App>(); });
    return 0;
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.App", u"Microsoft.UI.Xaml.Application");
    return true;
}();

}  // namespace

}  // namespace Zintrel
