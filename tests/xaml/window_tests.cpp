#include "platform/shell/window.h"
#include "platform/xaml/window/Backdrop.h"
#include "platform/xaml/window/Dispatching.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/window/Window.h"
#include "platform/xaml/window/appearance.h"

#include "tests/support/event_loop.h"
#include "tests/support/session_bus.h"
#include "tests/xaml/desktop_appearance.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace xaml;
using foundation::make;

namespace {

std::shared_ptr<Window> shown_window()
{
    auto window = make<Window>();
    window->Content(make<Grid>());
    window->Activate();
    QApplication::setActiveWindow(window->widget());
    test::run_until([&] { return window->widget()->isVisible(); });
    return window;
}

QColor to_qcolor_for_test(const Color& c) { return QColor(c.R, c.G, c.B, c.A); }

}  // namespace

TEST(Window, ActivationAndClosingAreReported)
{
    auto window = make<Window>();
    window->Title(u"Varnholt Zintrel");
    auto content = make<Grid>();
    window->Content(content);
    std::vector<WindowActivationState> states;
    window->Activated([&](const auto&, const WindowActivatedEventArgs& args) { states.push_back(args.WindowActivationState()); });
    int closed = 0;
    window->Closed([&](const auto&, const WindowEventArgs&) { ++closed; });

    window->Activate();
    QApplication::setActiveWindow(window->widget());
    ASSERT_TRUE(test::run_until([&] { return !states.empty(); }));
    EXPECT_EQ(states.back(), WindowActivationState::CodeActivated);
    EXPECT_EQ(window->widget()->windowTitle(), QString("Varnholt Zintrel"));
    EXPECT_TRUE(content->IsLoaded());

    auto other = shown_window();
    ASSERT_TRUE(test::run_until([&] { return states.back() == WindowActivationState::Deactivated; }));

    window->Close();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(content->IsLoaded()) << "closing unloads the content";
    window->Close();
    EXPECT_EQ(closed, 1) << "a closed window closes once";
}

TEST(Window, HandlesIdentifiersAndAppWindowsMatch)
{
    auto window = make<Window>();
    const auto handle = window->WindowHandle();
    EXPECT_EQ(Window::from_handle(handle), window.get());
    const auto id = GetWindowIdFromWindow(handle);
    auto app = AppWindow::GetFromWindowId(id);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app, window->app_window());
    EXPECT_EQ(app->Id(), id);
    window.reset();
    EXPECT_EQ(Window::from_handle(handle), nullptr);
    EXPECT_EQ(AppWindow::GetFromWindowId(id), nullptr);
}

TEST(Window, ExtendedTitleBarIsFramelessWithCaptionButtonsAndMovesFromDragRectangles)
{
    auto window = shown_window();
    auto bar = window->app_window()->TitleBar();
    EXPECT_EQ(bar->RightInset(), 0);
    bar->ExtendsContentIntoTitleBar(true);
    EXPECT_TRUE(window->widget()->windowFlags().testFlag(Qt::FramelessWindowHint));
    const double scale = window->widget()->devicePixelRatioF();
    EXPECT_EQ(bar->RightInset(), static_cast<int>(3 * 46 * scale));

    const RectInt32 drag[] = {{0, 0, static_cast<std::int32_t>(200 * scale), static_cast<std::int32_t>(32 * scale)}};
    bar->SetDragRectangles(drag);
    const QPoint before = window->widget()->pos();
    QTest::mousePress(window->widget(), Qt::LeftButton, {}, QPoint(100, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 40), window->widget()->mapToGlobal(QPointF(150, 40)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->widget(), &move);
    QTest::mouseRelease(window->widget(), Qt::LeftButton, {}, QPoint(150, 40));
    EXPECT_EQ(window->widget()->pos(), before + QPoint(50, 30)) << "a drag in a drag rectangle moves the window";

    QTest::mouseDClick(window->widget(), Qt::LeftButton, {}, QPoint(100, 10));
    // QTest leaves the button down after a double click; a user lets go.
    QTest::mouseRelease(window->widget(), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(test::run_until([&] { return window->widget()->isMaximized(); }));
    window->Close();
}

TEST(Window, TheMaximiseButtonOffersToRestoreOnlyWhenTheWindowFillsTheScreen)
{
    auto window = make<Window>();
    window->Content(make<Grid>());
    window->app_window()->TitleBar()->ExtendsContentIntoTitleBar(true);
    QAbstractButton* maximize = nullptr;
    for (auto* button : window->widget()->findChildren<QAbstractButton*>())
        if (button->accessibleName() == "Maximize") maximize = button;
    ASSERT_NE(maximize, nullptr);
    // What a request to maximise does where no window manager answers it: the state is set,
    // the window stays as it was.
    window->widget()->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(window->widget()->isMaximized());
    EXPECT_EQ(maximize->accessibleName(), QString("Maximize"));
    window->Activate();
    EXPECT_TRUE(test::run_until([&] { return maximize->accessibleName() == "Restore"; })) << "shown, it fills the screen";
    window->Close();
}

TEST(ShellWindow, DpiMetricsIconsAndPlacement)
{
    auto window = shown_window();
    const auto hwnd = window->WindowHandle();
    const shell::UINT dpi = shell::GetDpiForWindow(hwnd);
    EXPECT_EQ(dpi, static_cast<shell::UINT>(96 * window->widget()->devicePixelRatioF() + 0.5));
    EXPECT_EQ(shell::GetSystemMetricsForDpi(shell::SM_CXSMICON, 144), 24);
    EXPECT_EQ(shell::GetSystemMetricsForDpi(shell::SM_CYICON, 120), 40);
    EXPECT_EQ(shell::GetDpiForWindow(nullptr), 0u);
    EXPECT_EQ(shell::LoadImageW(shell::GetModuleHandleW(nullptr), shell::MAKEINTRESOURCEW(4242), shell::IMAGE_ICON, 16, 16,
                                shell::LR_SHARED),
              nullptr)
        << "a resource that does not exist loads nothing";

    shell::WINDOWPLACEMENT placement{};
    EXPECT_FALSE(shell::GetWindowPlacement(hwnd, &placement)) << "the length must be set";
    placement.length = sizeof placement;
    ASSERT_TRUE(shell::GetWindowPlacement(hwnd, &placement));
    EXPECT_EQ(placement.showCmd, shell::SW_SHOWNORMAL);

    placement.rcNormalPosition = {100, 50, 900, 650};
    placement.showCmd = shell::SW_SHOWMAXIMIZED;
    ASSERT_TRUE(shell::SetWindowPlacement(hwnd, &placement));
    EXPECT_TRUE(test::run_until([&] { return window->widget()->isMaximized(); }));
    shell::WINDOWPLACEMENT after{};
    after.length = sizeof after;
    ASSERT_TRUE(shell::GetWindowPlacement(hwnd, &after));
    EXPECT_EQ(after.showCmd, shell::SW_SHOWMAXIMIZED);
    const double scale = window->widget()->devicePixelRatioF();
    EXPECT_NEAR(after.rcNormalPosition.left, 100, scale);
    EXPECT_NEAR(after.rcNormalPosition.bottom, 650, 2 * scale) << "the normal rectangle is kept while maximized";
    window->Close();
}

TEST(Dispatching, QueuesRunWorkOnTheUiThreadUntilShutDown)
{
    EXPECT_EQ(DispatcherQueue::GetForCurrentThread(), nullptr) << "no queue before the application makes one";
    std::shared_ptr<DispatcherQueueController> controller;
    const DispatcherQueueOptions options{sizeof(DispatcherQueueOptions), DQTYPE_THREAD_CURRENT, DQTAT_COM_NONE};
    ASSERT_EQ(CreateDispatcherQueueController(options, &controller), foundation::S_OK);
    auto queue = DispatcherQueue::GetForCurrentThread();
    EXPECT_EQ(queue, controller->DispatcherQueue());
    std::shared_ptr<DispatcherQueueController> second;
    EXPECT_NE(CreateDispatcherQueueController(options, &second), foundation::S_OK) << "one queue per thread";
    EXPECT_EQ(second, nullptr);

    int runs = 0;
    EXPECT_TRUE(queue->TryEnqueue([&] { ++runs; }));
    auto shutdown = controller->ShutdownQueueAsync();
    EXPECT_TRUE(test::run_until([&] { return shutdown.Status() == foundation::AsyncStatus::Completed; }));
    EXPECT_EQ(runs, 1) << "work queued before the shutdown still runs";
    EXPECT_FALSE(queue->TryEnqueue([&] { ++runs; }));
    EXPECT_EQ(DispatcherQueue::GetForCurrentThread(), nullptr);
}

TEST(Dispatching, WorkAcceptedByAQueueBeingShutDownRunsBeforeTheShutDownCompletes)
{
    std::shared_ptr<DispatcherQueueController> controller;
    const DispatcherQueueOptions options{sizeof(DispatcherQueueOptions), DQTYPE_THREAD_CURRENT, DQTAT_COM_NONE};
    ASSERT_EQ(CreateDispatcherQueueController(options, &controller), foundation::S_OK);
    const auto queue = controller->DispatcherQueue();

    // Threads enqueue until the queue refuses them, so every one of them crosses the shut-down.
    std::atomic<int> accepted = 0, ran = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            while (queue->TryEnqueue([&] { ++ran; })) ++accepted;
        });
    EXPECT_TRUE(test::run_until([&] { return ran > 1000; }));
    auto shutdown = controller->ShutdownQueueAsync();
    EXPECT_TRUE(test::run_until([&] { return shutdown.Status() == foundation::AsyncStatus::Completed; }));
    const int ran_before_completion = ran;
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(ran_before_completion, accepted) << "accepted work is dropped, or runs after the completion";
    EXPECT_TRUE(queue->is_shut_down());
}

TEST(Backdrop, FollowsThemeAndInputStateAndStopsWhenClosed)
{
    auto window = shown_window();
    auto configuration = make<SystemBackdropConfiguration>();
    configuration->Theme(SystemBackdropTheme::Light);
    auto mica = make<MicaController>();
    mica->SetSystemBackdropConfiguration(configuration);
    ASSERT_TRUE(mica->AddSystemBackdropTarget(window));
    auto painted = [&] { return window->widget()->palette().color(QPalette::Window); };
    EXPECT_EQ(painted(), to_qcolor_for_test(MicaController::tint(SystemBackdropTheme::Light, true)));
    configuration->Theme(SystemBackdropTheme::Dark);
    EXPECT_EQ(painted(), to_qcolor_for_test(MicaController::tint(SystemBackdropTheme::Dark, true)));
    configuration->IsInputActive(false);
    EXPECT_EQ(painted(), to_qcolor_for_test(MicaController::tint(SystemBackdropTheme::Dark, false)));
    EXPECT_NE(MicaController::tint(SystemBackdropTheme::Dark, false), MicaController::tint(SystemBackdropTheme::Dark, true));
    mica->Close();
    EXPECT_TRUE(mica->is_closed());
    EXPECT_FALSE(window->widget()->autoFillBackground());
    configuration->Theme(SystemBackdropTheme::Light);  // a closed controller paints nothing
    EXPECT_FALSE(window->widget()->autoFillBackground());
    window->Close();
}

namespace {

using test::contrast;
using test::DesktopAppearance;

// The placeholder as painted on its field.
double placeholder_contrast()
{
    const QPalette palette = QApplication::palette();
    const QColor base = palette.color(QPalette::Base), shown = palette.color(QPalette::PlaceholderText);
    const double a = shown.alphaF();
    return contrast(QColor::fromRgbF(shown.redF() * a + base.redF() * (1 - a), shown.greenF() * a + base.greenF() * (1 - a),
                                     shown.blueF() * a + base.blueF() * (1 - a)),
                    base);
}

// The strongest contrast between a radio button's painted circle and the window behind it.
double radio_ring_contrast(bool checked)
{
    QWidget window;
    window.setAutoFillBackground(true);
    auto* radio = new QRadioButton(&window);
    radio->setChecked(checked);
    radio->resize(radio->sizeHint());
    window.resize(radio->size());
    const QImage image = window.grab().toImage();
    const QColor background = window.palette().color(QPalette::Window);
    QStyleOptionButton option;
    option.initFrom(radio);
    const QRect circle = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio);
    double best = 1;
    for (int y = circle.top(); y <= circle.bottom(); ++y)
        for (int x = circle.left(); x <= circle.right(); ++x) best = std::max(best, contrast(image.pixelColor(x, y), background));
    return best;
}

const auto* const bus = ::testing::AddGlobalTestEnvironment(new test::private_session_bus);

}  // namespace

TEST_F(DesktopAppearance, FollowsThePortalsColourSchemeWhileRunning)
{
    ASSERT_EQ(desktop_theme(), ElementTheme::Light) << "the offscreen platform's palette is light";
    auto window = shown_window();
    auto content = std::dynamic_pointer_cast<FrameworkElement>(window->Content());
    int themeChanges = 0;
    content->ActualThemeChanged([&](const auto&, const auto&) { ++themeChanges; });
    m_portal.scheme = 1;
    Publish();

    follow_desktop_appearance();
    EXPECT_EQ(desktop_theme(), ElementTheme::Dark) << "the preference is read at start";
    EXPECT_TRUE(test::run_until([&] { return themeChanges == 1; }));
    EXPECT_EQ(content->ActualTheme(), ElementTheme::Dark);
    EXPECT_GE(placeholder_contrast(), 4.5);
    EXPECT_GE(radio_ring_contrast(false), 3.0) << "the circle of an unchosen radio button is seen";
    EXPECT_GE(radio_ring_contrast(true), 3.0);

    Change(2);
    EXPECT_TRUE(test::run_until([&] { return desktop_theme() == ElementTheme::Light; }));
    EXPECT_GE(radio_ring_contrast(false), 3.0);
    Change(1);
    EXPECT_TRUE(test::run_until([&] { return desktop_theme() == ElementTheme::Dark; }));
    Change(0);
    EXPECT_TRUE(test::run_until([&] { return desktop_theme() == ElementTheme::Light; })) << "no preference: the platform's palette";
    window->Close();
}

TEST_F(DesktopAppearance, AnOlderPortalIsReadThroughRead)
{
    m_portal.hasReadOne = false;
    m_portal.scheme = 1;
    Publish();
    follow_desktop_appearance();
    EXPECT_EQ(desktop_theme(), ElementTheme::Dark);
}

TEST_F(DesktopAppearance, WithoutAPortalThePlatformPaletteServesWithReadablePlaceholders)
{
    follow_desktop_appearance();
    EXPECT_EQ(desktop_theme(), ElementTheme::Light);
    // A dark palette as a desktop gives it, with no placeholder colour of its own.
    QPalette platform(QColor(0x31, 0x36, 0x3B), QColor(0x31, 0x36, 0x3B));
    platform.setColor(QPalette::Base, QColor(0x1B, 0x1E, 0x20));
    platform.setColor(QPalette::Text, QColor(0xFC, 0xFC, 0xFC));
    platform.setColor(QPalette::WindowText, QColor(0xFC, 0xFC, 0xFC));
    platform.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    QApplication::setPalette(platform);
    EXPECT_EQ(desktop_theme(), ElementTheme::Dark);
    EXPECT_GE(placeholder_contrast(), 4.5);
    EXPECT_GE(radio_ring_contrast(false), 3.0);
    // Later palette changes keep the placeholder readable as well.
    platform.setColor(QPalette::Base, QColor(0x10, 0x10, 0x10));
    platform.setColor(QPalette::PlaceholderText, QColor(0x20, 0x20, 0x20));
    QApplication::setPalette(platform);
    EXPECT_GE(placeholder_contrast(), 4.5);
}
