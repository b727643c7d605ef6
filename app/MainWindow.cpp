#include "app/MainWindow.h"

#include "app/App.h"
#include "app/Helpers.h"
#include "platform/foundation/activation.h"
#include "platform/shell/locale.h"
#include "platform/shell/window.h"
#include "platform/xaml/window/Application.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/markup/XamlBindings.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/function.hpp>

#include <cctype>
#include <cmath>
#include <optional>
#include <vector>

namespace Zintrel {

using foundation::box_value;
using foundation::hstring;
using foundation::IInspectable;
using foundation::unbox_value;

// The window's compiled bindings: the footer runs once, and the pane toggle shown only while
// the pane is closed.
class MainWindow_obj1_Bindings final : public xaml::ReferenceTypeXamlBindings<MainWindow> {
public:
    void Connect(std::int32_t connectionId, const IInspectable& target) override
    {
        switch (connectionId) {
        case 5: m_yearRun = foundation::as<xaml::Run>(target); break;
        case 6: m_companyRun = foundation::as<xaml::Run>(target); break;
        case 7: m_navView = foundation::as<xaml::NavigationView>(target); break;
        case 20: m_productRun = foundation::as<xaml::Run>(target); break;
        case 21: m_versionRun = foundation::as<xaml::Run>(target); break;
        default: break;
        }
    }

protected:
    void UpdateFrom(const std::shared_ptr<MainWindow>& root, std::uint32_t phase) override
    {
        if (!root || !(phase & not_phased)) return;
        if (m_yearRun) m_yearRun->Text(foundation::to_hstring(Helpers::DisplayYear()));
        if (m_companyRun) m_companyRun->Text(Helpers::CompanyName());
        if (m_productRun) m_productRun->Text(Helpers::ProductDisplayName());
        if (m_versionRun) m_versionRun->Text(Helpers::ProductVersion());
        if (m_navView) {
            tracking().UpdateDependencyPropertyChangedListener(0, m_navView, xaml::NavigationView::IsPaneOpenProperty());
            mark_due(u"IsPaneToggleButtonVisible", [this] { update_toggle(); });
        }
        run_due();
    }

    void DependencyPropertyChanged(const std::shared_ptr<xaml::DependencyObject>& sender,
                                   const xaml::DependencyProperty& property) override
    {
        if (sender == m_navView && property == xaml::NavigationView::IsPaneOpenProperty())
            mark_due(u"IsPaneToggleButtonVisible", [this] { update_toggle(); });
        run_due();
    }

private:
    void update_toggle()
    {
        if (m_navView) m_navView->IsPaneToggleButtonVisible(Helpers::InvertBoolean(m_navView->IsPaneOpen()));
    }

    std::shared_ptr<xaml::Run> m_yearRun, m_companyRun, m_productRun, m_versionRun;
    std::shared_ptr<xaml::NavigationView> m_navView;
};

MainWindow::MainWindow()
{
    m_hwnd = WindowHandle();
    m_windowId = xaml::GetWindowIdFromWindow(m_hwnd);
    m_appWindow = xaml::AppWindow::GetFromWindowId(m_windowId);

    InitializeComponent();
    LoadSettingsAsync();

    Title(Helpers::ProductDisplayName());
    const auto& titleBar = m_appWindow->TitleBar();
    titleBar->ExtendsContentIntoTitleBar(true);
    titleBar->PreferredHeightOption(xaml::TitleBarHeightOption::Standard);
    titleBar->ButtonBackgroundColor(xaml::Colors::Transparent());
    titleBar->ButtonInactiveBackgroundColor(xaml::Colors::Transparent());

    m_titleBarGrid->Loaded({this, &MainWindow::UpdateTitleBarLayout});
    m_titleBarGrid->SizeChanged([this](const IInspectable& sender, const xaml::SizeChangedEventArgs& args) {
        UpdateTitleBarLayout(sender, args);
    });
    Activated({this, &MainWindow::UpdateCaptionForeground});
    // The caption brushes belong to a theme: a theme switch while the window is open would
    // otherwise leave dark text on a dark bar until the next activation.
    if (const auto root = std::dynamic_pointer_cast<xaml::FrameworkElement>(Content())) {
        root->ActualThemeChanged([this](const std::shared_ptr<xaml::FrameworkElement>&, const IInspectable&) {
            UpdateCaptionForeground(nullptr, xaml::WindowActivatedEventArgs(m_captionState));
        });
    }

    const shell::UINT dpi = shell::GetDpiForWindow(m_hwnd);
    const auto module = shell::GetModuleHandleW(nullptr);
    const auto small = shell::LoadImageW(module, shell::MAKEINTRESOURCEW(101), shell::IMAGE_ICON,
                                         shell::GetSystemMetricsForDpi(shell::SM_CXSMICON, dpi),
                                         shell::GetSystemMetricsForDpi(shell::SM_CYSMICON, dpi), shell::LR_SHARED);
    shell::SendMessageW(m_hwnd, shell::WM_SETICON, shell::ICON_SMALL, reinterpret_cast<shell::LPARAM>(small));
    const auto big = shell::LoadImageW(module, shell::MAKEINTRESOURCEW(101), shell::IMAGE_ICON,
                                       shell::GetSystemMetricsForDpi(shell::SM_CXICON, dpi),
                                       shell::GetSystemMetricsForDpi(shell::SM_CYICON, dpi), shell::LR_SHARED);
    shell::SendMessageW(m_hwnd, shell::WM_SETICON, shell::ICON_BIG, reinterpret_cast<shell::LPARAM>(big));

    SetupMicaBackdrop();
    m_closedRevoker = Closed(foundation::auto_revoke, [this](const IInspectable&, const xaml::WindowEventArgs&) { OnWindowClosed(); });
    m_contentFrame->NavigationFailed({this, &MainWindow::OnNavigationFailed});
}

void MainWindow::InitializeComponent()
{
    if (m_contentLoaded) return;
    m_contentLoaded = true;
    xaml::Application::LoadComponent(strong_self(), u"ms-appx:///MainWindow.xaml");
    // A window has no Loading of its own: its bindings start once its markup is in.
    if (m_bindings) m_bindings->Initialize();
}

void MainWindow::Connect(std::int32_t connectionId, const IInspectable& target)
{
    auto weak = get_weak(this);
    switch (connectionId) {
    case 2: m_titleBarGrid = foundation::as<xaml::Grid>(target); break;
    case 3: m_outerColumn1 = foundation::as<xaml::ColumnDefinition>(target); break;
    case 4: m_outerColumn2 = foundation::as<xaml::ColumnDefinition>(target); break;
    case 7:
        m_navView = foundation::as<xaml::NavigationView>(target);
        m_navView->Loaded({weak, &MainWindow::OnNavigationViewLoaded});
        m_navView->SelectionChanged({weak, &MainWindow::OnNavigationSelectionChanged});
        break;
    case 8: foundation::as<xaml::AutoSuggestBox>(target)->TextChanged({weak, &MainWindow::OnSearchTextChanged}); break;
    case 9: m_contentFrame = foundation::as<xaml::Frame>(target); break;
    case 10: m_leftInsetColumn = foundation::as<xaml::ColumnDefinition>(target); break;
    case 11: m_leadingColumn1 = foundation::as<xaml::ColumnDefinition>(target); break;
    case 12: m_leadingColumn2 = foundation::as<xaml::ColumnDefinition>(target); break;
    case 13: m_leadingColumn3 = foundation::as<xaml::ColumnDefinition>(target); break;
    case 14: m_middleColumn = foundation::as<xaml::ColumnDefinition>(target); break;
    case 15: m_trailingColumn = foundation::as<xaml::ColumnDefinition>(target); break;
    case 16: m_rightInsetColumn = foundation::as<xaml::ColumnDefinition>(target); break;
    case 17: m_titleBarElement = foundation::as<xaml::Image>(target); break;
    case 18: m_captionTextBlock = foundation::as<xaml::TextBlock>(target); break;
    case 19: m_middleTextBlock = foundation::as<xaml::TextBlock>(target); break;
    default: break;
    }
}

std::shared_ptr<xaml::IComponentConnector> MainWindow::GetBindingConnector(std::int32_t connectionId, const IInspectable&)
{
    if (connectionId != 1) return nullptr;
    auto bindings = std::make_unique<MainWindow_obj1_Bindings>();
    bindings->SetDataRoot(strong_self());
    m_bindings = foundation::make<xaml::XamlBindings>(std::move(bindings));
    return m_bindings;
}

void MainWindow::UpdateTitleBarLayout(const IInspectable&, const xaml::RoutedEventArgs&)
{
    const auto& titleBar = m_appWindow->TitleBar();
    if (!titleBar->ExtendsContentIntoTitleBar()) return;

    const auto percent = (shell::GetDpiForWindow(m_hwnd) * 100 + 48) / 96;
    const double scale = percent / 100.0;
    m_rightInsetColumn->Width(xaml::GridLengthHelper::FromPixels(titleBar->RightInset() / scale));
    m_leftInsetColumn->Width(xaml::GridLengthHelper::FromPixels(titleBar->LeftInset() / scale));

    const double H = m_titleBarGrid->ActualHeight();
    const double A = m_leftInsetColumn->ActualWidth();
    const double S = m_leadingColumn1->ActualWidth() + m_leadingColumn2->ActualWidth() + m_leadingColumn3->ActualWidth();
    const double E = m_middleColumn->ActualWidth();
    const double F = m_trailingColumn->ActualWidth();
    const double T = m_middleTextBlock->ActualHeight();
    const double gap = (H - T) * 0.5;
    auto px = [](double value) { return static_cast<std::int32_t>(value); };

    const xaml::RectInt32 rectangles[] = {
        {px(A), 0, px(S * scale), px(H * scale)},
        {px(S * scale), 0, px(E * scale), px(gap * scale)},
        {px(A), 0, px(E * scale), px(T * scale)},
        {px(S * scale), px((H - gap) * scale), px(E * scale), px(gap * scale)},
        {px((S + E) * scale), 0, px(F * scale), px(H * scale)},
    };
    titleBar->SetDragRectangles(rectangles);
}

void MainWindow::UpdateCaptionForeground(const IInspectable&, const xaml::WindowActivatedEventArgs& args)
{
    m_captionState = args.WindowActivationState();
    const hstring key = args.WindowActivationState() == xaml::WindowActivationState::Deactivated
                            ? u"WindowCaptionForegroundDisabled"
                            : u"WindowCaptionForeground";
    const auto theme = m_rootElement ? m_rootElement->ActualTheme() : xaml::desktop_theme();
    const auto brush = foundation::as<xaml::Brush>(xaml::Application::Current()->Resources()->find(key, theme));
    m_captionTextBlock->Foreground(brush);
    m_middleTextBlock->Foreground(brush);
}

void MainWindow::OnNavigationViewLoaded(const IInspectable&, const xaml::RoutedEventArgs&)
{
    const auto first = m_navView->MenuItems()->GetAt(0);
    if (first) m_navView->SelectedItem(first);
}

void MainWindow::OnNavigationSelectionChanged(const std::shared_ptr<xaml::NavigationView>&,
                                              const xaml::NavigationViewSelectionChangedEventArgs& args)
{
    const IInspectable item = args.SelectedItem();
    if (!item) return;
    const hstring tag = unbox_value<hstring>(foundation::as<xaml::FrameworkElement>(item)->Tag());
    const xaml::TypeName type{tag, xaml::TypeKind::Primitive};
    const auto& current = m_contentFrame->CurrentSourcePageType();
    if (current.Name == type.Name && current.Kind == type.Kind) return;
    m_contentFrame->Navigate(type, nullptr, args.RecommendedNavigationTransitionInfo());
    foundation::as<xaml::TextBlock>(m_navView->Header())
        ->Text(unbox_value<hstring>(foundation::as<xaml::ContentControl>(item)->Content()));
}

void MainWindow::OnSearchTextChanged(const std::shared_ptr<xaml::AutoSuggestBox>& sender,
                                     const xaml::AutoSuggestBoxTextChangedEventArgs& args)
{
    if (args.Reason() != xaml::AutoSuggestionBoxTextChangeReason::UserInput) return;
    const hstring text = sender->Text();
    std::vector<std::u16string> words;
    if (!text.empty()) {
        const auto is_space = [](char16_t c) { return c < 0x80 && std::isspace(static_cast<unsigned char>(c)); };
        boost::algorithm::split(words, text.str(), boost::function<bool(char16_t)>(is_space), boost::algorithm::token_compress_on);
    }
    for (const auto& entry : *m_navView->MenuItems()) {
        bool visible = words.empty();
        if (!visible) {
            const hstring content = unbox_value<hstring>(foundation::as<xaml::ContentControl>(entry)->Content());
            for (const auto& word : words) {
                if (shell::StrStrIW(content.c_str(), word.c_str())) {
                    visible = true;
                    break;
                }
            }
        }
        foundation::as<xaml::UIElement>(entry)->Visibility(visible ? xaml::Visibility::Visible : xaml::Visibility::Collapsed);
    }
}

void MainWindow::OnNavigationFailed(const IInspectable&, const std::shared_ptr<xaml::NavigationFailedEventArgs>&)
{
    // Left unhandled, and nothing is reported.
}

void MainWindow::SetupMicaBackdrop()
{
    if (!xaml::MicaController::IsSupported()) return;
    if (!xaml::DispatcherQueue::GetForCurrentThread() && !m_dispatcherQueueController) {
        const xaml::DispatcherQueueOptions options{sizeof(xaml::DispatcherQueueOptions), xaml::DQTYPE_THREAD_CURRENT,
                                                   xaml::DQTAT_COM_NONE};
        foundation::check_hresult(xaml::CreateDispatcherQueueController(options, &m_dispatcherQueueController));
    }
    SetupSystemBackdropConfiguration();
    m_backdropController = foundation::make<xaml::MicaController>();
    m_backdropController->SetSystemBackdropConfiguration(m_configurationSource);
    m_backdropController->AddSystemBackdropTarget(std::static_pointer_cast<MainWindow>(strong_self()));
}

namespace {

xaml::SystemBackdropTheme backdrop_theme(xaml::ElementTheme theme)
{
    switch (theme) {
    case xaml::ElementTheme::Light: return xaml::SystemBackdropTheme::Light;
    case xaml::ElementTheme::Dark: return xaml::SystemBackdropTheme::Dark;
    default: return xaml::SystemBackdropTheme::Default;
    }
}

}  // namespace

void MainWindow::SetupSystemBackdropConfiguration()
{
    m_configurationSource = foundation::make<xaml::SystemBackdropConfiguration>();
    m_activatedRevoker = Activated(foundation::auto_revoke, [this](const IInspectable&, const xaml::WindowActivatedEventArgs& args) {
        m_configurationSource->IsInputActive(args.WindowActivationState() != xaml::WindowActivationState::Deactivated);
    });
    m_configurationSource->IsInputActive(true);
    m_rootElement = std::dynamic_pointer_cast<xaml::FrameworkElement>(Content());
    if (m_rootElement) {
        m_themeChangedRevoker = m_rootElement->ActualThemeChanged(
            foundation::auto_revoke, [this](const std::shared_ptr<xaml::FrameworkElement>&, const IInspectable&) {
                m_configurationSource->Theme(backdrop_theme(m_rootElement->ActualTheme()));
            });
    }
    m_configurationSource->Theme(backdrop_theme(m_rootElement ? m_rootElement->ActualTheme() : xaml::ElementTheme::Default));
}

void MainWindow::OnWindowClosed()
{
    SaveWindowPlacementIfPackaged();
    if (m_backdropController) {
        m_backdropController->Close();
        m_backdropController = nullptr;
    }
    if (m_dispatcherQueueController) {
        m_dispatcherQueueController->ShutdownQueueAsync();
        m_dispatcherQueueController = nullptr;
    }
}

namespace {

// A stored coordinate truncated toward zero; nothing when it does not fit (a damaged or foreign
// record), so that the entry keeps the window's own value.
std::optional<std::int32_t> truncated(float value)
{
    if (!(value >= -2147483648.0f && value < 2147483648.0f)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Without an App (the window made alone, as tests do) there is no package to keep settings for.
bool is_unpackaged()
{
    const auto app = App::current();
    return !app || app->IsUnpackaged;
}

}  // namespace

foundation::fire_and_forget MainWindow::LoadSettingsAsync()
{
    if (is_unpackaged()) co_return;
    auto self = get_strong(this);
    // Everything the restore needs is taken before the wait, which may outlast what it came from.
    const auto data = appmodel::ApplicationData::Current();
    const auto values = data->LocalSettings()->Values();
    co_await data->SetVersionAsync(0, [](const appmodel::SetVersionRequest&) {});
    // A window closed meanwhile (the program ending before its settings came) stays as it was
    // closed: moving it now would show it again and save that place over the one it had.
    if (!self->closed()) self->RestoreWindowPlacement(values);
}

void MainWindow::SaveWindowPlacementIfPackaged()
{
    if (is_unpackaged()) return;
    SaveWindowPlacement(appmodel::ApplicationData::Current()->LocalSettings()->Values());
}

void MainWindow::SaveWindowPlacement(const std::shared_ptr<foundation::PropertySet>& settings)
{
    shell::WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!shell::GetWindowPlacement(m_hwnd, &placement)) return;
    auto composite = foundation::make<appmodel::ApplicationDataCompositeValue>();
    const auto& r = placement.rcNormalPosition;
    composite->Insert(u"showCmd", foundation::PropertyValue::CreateUInt32(placement.showCmd));
    composite->Insert(u"ptMinPosition", foundation::PropertyValue::CreatePoint({static_cast<float>(placement.ptMinPosition.x),
                                                                                static_cast<float>(placement.ptMinPosition.y)}));
    composite->Insert(u"ptMaxPosition", foundation::PropertyValue::CreatePoint({static_cast<float>(placement.ptMaxPosition.x),
                                                                                static_cast<float>(placement.ptMaxPosition.y)}));
    composite->Insert(u"rcNormalPosition",
                      foundation::PropertyValue::CreateRect({static_cast<float>(r.left), static_cast<float>(r.top),
                                                             static_cast<float>(r.right - r.left),
                                                             static_cast<float>(r.bottom - r.top)}));
    settings->Insert(u"WindowPlacement", composite);
}

void MainWindow::RestoreWindowPlacement(const std::shared_ptr<foundation::PropertySet>& settings)
{
    const auto composite = std::dynamic_pointer_cast<appmodel::ApplicationDataCompositeValue>(settings->TryLookup(u"WindowPlacement"));
    if (!composite) return;
    shell::WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    shell::GetWindowPlacement(m_hwnd, &placement);

    auto value_of = [&](const char16_t* key) { return foundation::try_as<foundation::IPropertyValue>(composite->TryLookup(key)); };
    auto point_or = [&](const char16_t* key, shell::POINT current) {
        const auto v = value_of(key);
        if (!v || v->Type() != foundation::PropertyType::Point) return current;
        const auto x = truncated(v->GetPoint().X), y = truncated(v->GetPoint().Y);
        return x && y ? shell::POINT{*x, *y} : current;
    };
    if (const auto v = value_of(u"showCmd"); v && v->Type() == foundation::PropertyType::UInt32) placement.showCmd = v->GetUInt32();
    placement.ptMinPosition = point_or(u"ptMinPosition", placement.ptMinPosition);
    placement.ptMaxPosition = point_or(u"ptMaxPosition", placement.ptMaxPosition);
    if (const auto v = value_of(u"rcNormalPosition"); v && v->Type() == foundation::PropertyType::Rect) {
        const auto rect = v->GetRect();
        const auto left = truncated(rect.X), top = truncated(rect.Y);
        const auto right = left ? truncated(static_cast<float>(*left) + rect.Width) : std::nullopt;
        const auto bottom = top ? truncated(static_cast<float>(*top) + rect.Height) : std::nullopt;
        if (right && bottom) placement.rcNormalPosition = {*left, *top, *right, *bottom};
    }
    // A window closed while minimized comes back in its normal state.
    if (placement.showCmd == shell::SW_SHOWMINIMIZED) placement.showCmd = shell::SW_SHOWNORMAL;
    shell::SetWindowPlacement(m_hwnd, &placement);
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.MainWindow", u"Microsoft.UI.Xaml.Window").runtime_class<MainWindow>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
