#pragma once
// The main window: a title bar of its own, the tool pane with its search box, the page frame,
// the backdrop, and the window's placement between runs.

#include "platform/appmodel/ApplicationData.h"
#include "platform/xaml/window/Backdrop.h"
#include "platform/xaml/window/Dispatching.h"
#include "platform/xaml/controls/Image.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/controls/AutoSuggestBox.h"
#include "platform/xaml/controls/Frame.h"
#include "platform/xaml/controls/NavigationView.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/window/Window.h"

namespace Zintrel {

class MainWindow_obj1_Bindings;

class MainWindow final : public xaml::Window, public xaml::IComponentConnector {
public:
    MainWindow();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.MainWindow"; }

    void InitializeComponent();
    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;
    std::shared_ptr<xaml::IComponentConnector> GetBindingConnector(std::int32_t connectionId,
                                                                   const foundation::IInspectable& target) override;

    void UpdateTitleBarLayout(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void UpdateCaptionForeground(const foundation::IInspectable& sender, const xaml::WindowActivatedEventArgs& args);
    void OnNavigationViewLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);
    void OnNavigationSelectionChanged(const std::shared_ptr<xaml::NavigationView>& sender,
                                      const xaml::NavigationViewSelectionChangedEventArgs& args);
    void OnSearchTextChanged(const std::shared_ptr<xaml::AutoSuggestBox>& sender,
                             const xaml::AutoSuggestBoxTextChangedEventArgs& args);
    void OnNavigationFailed(const foundation::IInspectable& sender,
                            const std::shared_ptr<xaml::NavigationFailedEventArgs>& args);

    // Placement in the settings container.
    void SaveWindowPlacement(const std::shared_ptr<foundation::PropertySet>& settings);
    void RestoreWindowPlacement(const std::shared_ptr<foundation::PropertySet>& settings);

    // The named elements of the markup.
    const std::shared_ptr<xaml::Grid>& TitleBarGrid() const noexcept { return m_titleBarGrid; }
    const std::shared_ptr<xaml::NavigationView>& NavView() const noexcept { return m_navView; }
    const std::shared_ptr<xaml::Frame>& ContentFrame() const noexcept { return m_contentFrame; }
    const std::shared_ptr<xaml::TextBlock>& CaptionTextBlock() const noexcept { return m_captionTextBlock; }
    const std::shared_ptr<xaml::TextBlock>& MiddleTextBlock() const noexcept { return m_middleTextBlock; }
    // The backdrop, for tests: null once the window has closed.
    const std::shared_ptr<xaml::MicaController>& backdrop_controller() const noexcept { return m_backdropController; }
    const std::shared_ptr<xaml::SystemBackdropConfiguration>& backdrop_configuration() const noexcept
    {
        return m_configurationSource;
    }

private:
    foundation::fire_and_forget LoadSettingsAsync();
    void SetupMicaBackdrop();
    void SetupSystemBackdropConfiguration();
    void OnWindowClosed();
    void SaveWindowPlacementIfPackaged();

    // Generated part: content flag, binding object and named elements.
    bool m_contentLoaded = false;
    std::shared_ptr<xaml::XamlBindings> m_bindings;
    std::shared_ptr<xaml::Grid> m_titleBarGrid;
    std::shared_ptr<xaml::ColumnDefinition> m_outerColumn1, m_outerColumn2;
    std::shared_ptr<xaml::NavigationView> m_navView;
    std::shared_ptr<xaml::Frame> m_contentFrame;
    std::shared_ptr<xaml::ColumnDefinition> m_leftInsetColumn, m_leadingColumn1, m_leadingColumn2, m_leadingColumn3,
        m_middleColumn, m_trailingColumn, m_rightInsetColumn;
    std::shared_ptr<xaml::Image> m_titleBarElement;
    std::shared_ptr<xaml::TextBlock> m_captionTextBlock, m_middleTextBlock;

    // The window's own fields.
    std::shared_ptr<xaml::SystemBackdropConfiguration> m_configurationSource;
    std::shared_ptr<xaml::MicaController> m_backdropController;
    foundation::event_revoker m_activatedRevoker;
    foundation::event_revoker m_closedRevoker;
    foundation::event_revoker m_themeChangedRevoker;
    std::shared_ptr<xaml::FrameworkElement> m_rootElement;
    std::shared_ptr<xaml::DispatcherQueueController> m_dispatcherQueueController;
    shell::HWND m_hwnd = nullptr;
    xaml::WindowId m_windowId;
    std::shared_ptr<xaml::AppWindow> m_appWindow;
    // The activation the caption texts show, for redrawing them in another theme.
    xaml::WindowActivationState m_captionState = xaml::WindowActivationState::CodeActivated;
};

}  // namespace Zintrel
