#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/foundation/activation.h"
#include "platform/shell/window.h"
#include "platform/xaml/markup/markup.h"

#include "tests/support/event_loop.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace Zintrel;
using foundation::box_value;
using foundation::hstring;
using foundation::make;
using foundation::unbox_value;

namespace {

class ToolPage : public xaml::Page {
public:
    hstring GetRuntimeClassName() const override { return u"Test.ToolPage"; }
};
const foundation::class_registration tool_page{u"Test.ToolPage", foundation::activator_of<ToolPage>()};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        xaml::set_markup_folder(ZINTREL_APP_SOURCE_DIR);
        m_app = make<App>();
        m_window = make<MainWindow>();
        m_window->Activate();
        QApplication::setActiveWindow(m_window->widget());
        ASSERT_TRUE(test::run_until([&] { return m_window->widget()->isVisible() && m_window->TitleBarGrid()->IsLoaded(); }));
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        if (m_window) m_window->Close();
    }

    std::vector<std::shared_ptr<xaml::NavigationViewItem>> items() const
    {
        std::vector<std::shared_ptr<xaml::NavigationViewItem>> result;
        for (const auto& entry : *m_window->NavView()->MenuItems())
            result.push_back(foundation::as<xaml::NavigationViewItem>(entry));
        return result;
    }
    std::vector<bool> shown() const
    {
        std::vector<bool> result;
        for (const auto& item : items()) result.push_back(item->Visibility() == xaml::Visibility::Visible);
        return result;
    }
    void type_search(const char* text)
    {
        auto* editor = m_window->NavView()->AutoSuggestBox()->editor();
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
    }
    hstring header() const { return foundation::as<xaml::TextBlock>(m_window->NavView()->Header())->Text(); }

    std::shared_ptr<App> m_app;
    std::shared_ptr<MainWindow> m_window;
};

// Counts what an idle window must not do: lay out, paint or tick.
class activity_counter final : public QObject {
public:
    activity_counter() { qApp->installEventFilter(this); }
    ~activity_counter() override { qApp->removeEventFilter(this); }
    int layouts = 0, paints = 0, ticks = 0;
    int total() const { return layouts + paints + ticks; }
    void reset() { layouts = paints = ticks = 0; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::LayoutRequest: ++layouts; break;
        case QEvent::Paint:
        case QEvent::UpdateRequest: ++paints; break;
        case QEvent::Timer: ++ticks; break;
        default: break;
        }
        return false;
    }
};

QAbstractButton* caption_button(QWidget* frame, const QString& name)
{
    for (auto* button : frame->findChildren<QAbstractButton*>())
        if (button->accessibleName() == name) return button;
    return nullptr;
}

// The text of every TextBlock of the tree, in order.
void collect_texts(const std::shared_ptr<xaml::UIElement>& element, std::vector<hstring>& texts)
{
    if (auto text = std::dynamic_pointer_cast<xaml::TextBlock>(element)) texts.push_back(text->Text());
    for (const auto& child : element->visual_children()) collect_texts(child, texts);
}

}  // namespace

TEST_F(MainWindowTest, OpensWithItsTitleFooterAndFirstToolSelected)
{
    EXPECT_EQ(m_window->Title(), u"Varnholt Zintrel");
    std::vector<hstring> texts;
    collect_texts(m_window->Content(), texts);
    // The footer is the only text of its own that carries the copyright sign; the caption
    // already says "Varnholt", so only the footer's runs can make this line.
    const auto footer = std::find_if(texts.begin(), texts.end(), [](const hstring& t) { return t.str().starts_with(u"©"); });
    ASSERT_NE(footer, texts.end());
    EXPECT_EQ(*footer, u"© 2025 Varnholt") << "the year and company runs are bound";
    EXPECT_EQ(m_window->MiddleTextBlock()->Text(), u"Varnholt Zintrel  ·  version 3.1.3");
    EXPECT_TRUE(m_window->widget()->windowFlags().testFlag(Qt::FramelessWindowHint)) << "content extends into the title bar";

    const auto first = items().front();
    EXPECT_EQ(m_window->NavView()->SelectedItem(), first) << "the pane selects its first tool once loaded";
    EXPECT_EQ(header(), unbox_value<hstring>(first->Content()));
}

TEST_F(MainWindowTest, TheOpenPaneHidesItsToggleButton)
{
    auto nav = m_window->NavView();
    nav->IsPaneOpen(false);
    EXPECT_TRUE(nav->IsPaneToggleButtonVisible());
    nav->IsPaneOpen(true);
    EXPECT_FALSE(nav->IsPaneToggleButtonVisible());
}

// At 640 pixels the pane opens over the page; a pointer closes it with the toggle it opened it with.
TEST_F(MainWindowTest, ThePaneOpenOverThePageKeepsItsToggleAboveIt)
{
    QWidget* frame = m_window->widget();
    frame->resize(640, 400);
    auto nav = m_window->NavView();
    ASSERT_TRUE(test::run_until([&] { return nav->DisplayMode() == xaml::NavigationViewDisplayMode::Minimal; }));
    QWidget* toggle = nav->pane_toggle()->widget();
    // Where a pointer finds the toggle: the window's topmost widget there is the toggle itself.
    auto toggle_under_pointer = [&] {
        if (!toggle->isVisible() || toggle->width() < 32 || toggle->height() < 32) return QPoint(-1, -1);
        const QPoint centre = toggle->mapTo(frame, toggle->rect().center());
        return frame->childAt(centre) == toggle ? centre : QPoint(-1, -1);
    };
    ASSERT_TRUE(test::run_until([&] { return toggle_under_pointer().x() >= 0; }));
    QTest::mouseClick(frame->windowHandle(), Qt::LeftButton, {}, toggle_under_pointer());
    ASSERT_TRUE(nav->IsPaneOpen());

    EXPECT_TRUE(test::run_until([&] { return toggle_under_pointer().x() >= 0; }))
        << "the open pane hides its toggle: " << toggle->isVisible() << " " << toggle->width() << "x" << toggle->height();
    EXPECT_TRUE(nav->AutoSuggestBox()->widget()->isVisible()) << "the pane is open, its search box with it";
    QTest::mouseClick(frame->windowHandle(), Qt::LeftButton, {}, toggle_under_pointer());
    EXPECT_FALSE(nav->IsPaneOpen()) << "the toggle closes the pane";
}

TEST_F(MainWindowTest, TypingInTheSearchBoxFiltersTheMenu)
{
    ASSERT_EQ(items().size(), 4u);
    type_search("SUM");
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, false})) << "items whose text contains the word, any case";
    type_search("cert sum");
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true}));
    type_search(" request");
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true})) << "a leading blank adds an empty word that finds nothing";
    type_search("   ");
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, false}));
    type_search("");
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true})) << "clearing shows every item";

    m_window->NavView()->AutoSuggestBox()->Text(u"certificate");
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true})) << "text set by code does not filter";
}

TEST_F(MainWindowTest, SelectingThePageShownAlreadyNeitherNavigatesNorRewritesTheHeader)
{
    const auto all = items();
    all[1]->Tag(box_value(u"Test.ToolPage"));
    all[2]->Tag(box_value(u"Test.ToolPage"));
    m_window->NavView()->SelectedItem(all[1]);
    const auto page = m_window->ContentFrame()->Content();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(header(), unbox_value<hstring>(all[1]->Content()));

    foundation::as<xaml::TextBlock>(m_window->NavView()->Header())->Text(u"unchanged");
    m_window->NavView()->SelectedItem(all[2]);
    EXPECT_EQ(m_window->ContentFrame()->Content(), page);
    EXPECT_EQ(header(), u"unchanged");

    m_window->NavView()->SelectedItem(all[3]);
    EXPECT_EQ(m_window->ContentFrame()->Content(), page) << "a page type that does not exist leaves the frame as it was";
}

TEST_F(MainWindowTest, DragAreasFollowEveryResize)
{
    QWidget* frame = m_window->widget();
    const auto bar = xaml::AppWindow::GetFromWindowId(xaml::GetWindowIdFromWindow(m_window->WindowHandle()))->TitleBar();
    const double scale = frame->devicePixelRatioF();
    if (const char* factor = std::getenv("QT_SCALE_FACTOR")) {
        EXPECT_EQ(shell::GetDpiForWindow(m_window->WindowHandle()), static_cast<shell::UINT>(std::lround(96 * std::atof(factor))));
    }
    // What the areas must be, read from where the widgets were laid out (physical pixels from
    // the top left of the content): all of the bar but the middle text and the caption buttons.
    auto mismatch = [&]() -> std::string {
        QWidget* content = m_window->Content()->widget();
        QWidget* text = m_window->MiddleTextBlock()->widget();
        QWidget* grid = m_window->TitleBarGrid()->widget();
        const QRect middle(text->mapTo(content, QPoint(0, 0)), text->size());
        const double H = grid->height(), right = content->width() * scale - bar->RightInset();
        const auto& r = bar->drag_rectangles();
        if (r.size() != 5) return "five areas";
        auto near = [](double a, double b) { return std::abs(a - b) <= 2; };
        std::string failed;
        auto check = [&](bool ok, const char* what) {
            if (!ok) failed += std::string(what) + "; ";
        };
        check(r[0].X == 0 && r[0].Y == 0 && near(r[0].Height, H * scale), "first spans the bar's height from the left");
        check(near(r[0].X + r[0].Width, middle.left() * scale), "first ends at the middle text");
        check(near(r[1].X, middle.left() * scale) && near(r[1].Width, middle.width() * scale), "second lies over the middle text");
        check(r[1].Y == 0 && near(r[1].Height, middle.top() * scale), "second ends at the middle text's top");
        check(near(r[3].Y, (middle.bottom() + 1) * scale) && near(r[3].Y + r[3].Height, H * scale), "fourth lies below it");
        check(near(r[4].X, (middle.right() + 1) * scale), "fifth begins after the middle text");
        check(near(r[4].X + r[4].Width, right), "fifth ends at the caption buttons");
        return failed;
    };
    EXPECT_TRUE(test::run_until([&] { return mismatch().empty(); })) << "at start: " << mismatch();
    for (const QSize size : {QSize(700, 500), QSize(760, 520)}) {
        frame->resize(size);
        EXPECT_TRUE(test::run_until([&] { return mismatch().empty(); })) << size.width() << ": " << mismatch();
    }
    frame->showMaximized();
    EXPECT_TRUE(test::run_until([&] { return frame->isMaximized() && mismatch().empty(); })) << "maximised: " << mismatch();
    frame->showNormal();
    EXPECT_TRUE(test::run_until([&] { return !frame->isMaximized() && mismatch().empty(); })) << "restored: " << mismatch();

    // Pressing just left of the caption buttons and moving drags the window; the middle text
    // does not. Without a window manager the window moves itself.
    auto drag_from = [&](QPoint at) {
        const QPoint before = frame->pos();
        QWidget* target = frame->childAt(at);
        if (!target) return QPoint();
        // The pointer moves on the screen; the widget under it moves with the window.
        const QPoint start = frame->mapToGlobal(at);
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFromGlobal(start));
        QTest::mouseMove(target, target->mapFromGlobal(start + QPoint(20, 15)));
        QTest::mouseMove(target, target->mapFromGlobal(start + QPoint(40, 30)));
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFromGlobal(start + QPoint(40, 30)));
        const QPoint moved = frame->pos() - before;
        frame->move(before);
        return moved;
    };
    const int captionsLeft = frame->width() - static_cast<int>(bar->RightInset() / scale);
    EXPECT_EQ(drag_from(QPoint(captionsLeft - 6, 10)), QPoint(40, 30));
    QWidget* text = m_window->MiddleTextBlock()->widget();
    EXPECT_EQ(drag_from(text->mapTo(frame, text->rect().center())), QPoint(0, 0));
}

TEST_F(MainWindowTest, IconsFollowTheScale)
{
    const double scale = m_window->widget()->devicePixelRatioF();
    const auto sizes = m_window->widget()->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(std::lround(16 * scale), std::lround(16 * scale)))) << "small icon at the window's DPI";
    EXPECT_TRUE(sizes.contains(QSize(std::lround(32 * scale), std::lround(32 * scale)))) << "big icon at the window's DPI";
}

TEST_F(MainWindowTest, AnIdleWindowNeitherLaysOutNorPaintsNorTicks)
{
    // A focused text field's caret blinks, as on every desktop; here a tool holds the focus.
    items().front()->widget()->setFocus();
    activity_counter counter;
    // Settled: a round of event processing that finds nothing to do, several times over.
    int quiet = 0;
    ASSERT_TRUE(test::run_until([&] {
        counter.reset();
        QCoreApplication::processEvents();
        quiet = counter.total() == 0 ? quiet + 1 : 0;
        return quiet >= 20;
    })) << "the window keeps laying out (" << counter.layouts << ") or painting (" << counter.paints << ")";

    counter.reset();
    QDeadlineTimer observed(2000);
    while (!observed.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, static_cast<int>(observed.remainingTime()));
    EXPECT_EQ(counter.layouts, 0);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(counter.ticks, 0);

    // Setting what is already there changes nothing, so it costs nothing either.
    counter.reset();
    m_window->TitleBarGrid()->Height(m_window->TitleBarGrid()->Height());
    m_window->MiddleTextBlock()->Width(m_window->MiddleTextBlock()->Width());
    m_window->CaptionTextBlock()->Text(m_window->CaptionTextBlock()->Text());
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.total(), 0);
}

TEST_F(MainWindowTest, TheWindowKeepsARoomyMinimumAndADrawnEdge)
{
    QWidget* frame = m_window->widget();
    frame->resize(52, 52);
    EXPECT_GE(frame->width(), 480);
    EXPECT_GE(frame->height(), 300);
    frame->resize(frame->minimumSize());
    // At the narrowest nothing in the title bar overlaps: icon, caption, middle text, buttons.
    auto span = [&](const std::shared_ptr<xaml::FrameworkElement>& e) {
        return QRect(e->widget()->mapTo(frame, QPoint(0, 0)), e->widget()->size());
    };
    QAbstractButton* minimize = caption_button(frame, "Minimize");
    ASSERT_NE(minimize, nullptr);
    ASSERT_TRUE(test::run_until([&] { return span(m_window->MiddleTextBlock()).right() < minimize->mapTo(frame, QPoint(0, 0)).x(); }))
        << "the middle text runs under the caption buttons";
    EXPECT_LT(span(m_window->CaptionTextBlock()).right(), span(m_window->MiddleTextBlock()).left()) << "the two titles meet";

    // A thin edge while normal: the border pixel differs from the window's fill beside it.
    const QImage normal = frame->grab().toImage();
    const int y = normal.height() / 2;
    EXPECT_NE(normal.pixelColor(0, y), normal.pixelColor(3, y)) << "no visible edge";
    frame->showMaximized();
    ASSERT_TRUE(test::run_until([&] { return frame->isMaximized() && frame->width() > 700; }));
    ASSERT_TRUE(test::run_until([&] { return m_window->Content()->widget()->x() == 0; })) << "no edge while maximised";
    const QImage maximized = frame->grab().toImage();
    EXPECT_EQ(maximized.pixelColor(0, maximized.height() / 2), maximized.pixelColor(3, maximized.height() / 2));
}

TEST_F(MainWindowTest, EnterOnAFocusedToolOpensIt)
{
    const auto all = items();
    all[2]->Tag(box_value(u"Test.ToolPage"));
    all[3]->Tag(box_value(u"Test.ToolPage"));
    all[3]->Content(box_value(u"Other tool"));
    all[2]->widget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(all[2]->widget(), Qt::Key_Return);
    EXPECT_TRUE(test::run_until([&] { return m_window->NavView()->SelectedItem() == all[2]; })) << "Enter";
    EXPECT_EQ(header(), unbox_value<hstring>(all[2]->Content()));
    all[3]->widget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(all[3]->widget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(test::run_until([&] { return m_window->NavView()->SelectedItem() == all[3]; })) << "keypad Enter";
}

TEST_F(MainWindowTest, AssistiveTechnologyReadsTheWindowAsAUserSeesIt)
{
    QWidget* frame = m_window->widget();
    auto* window = QAccessible::queryAccessibleInterface(frame);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window) << "a frame, not a filler";

    auto* editor = m_window->NavView()->AutoSuggestBox()->editor();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(editor)->text(QAccessible::Name), QString("Search the tools"));
    const auto clears = editor->findChildren<QToolButton*>();
    ASSERT_FALSE(clears.isEmpty());
    const QString clearName = QAccessible::queryAccessibleInterface(clears.front())->text(QAccessible::Name);
    EXPECT_FALSE(clearName.isEmpty());
    EXPECT_NE(clearName, QString("Search the tools"));

    const auto all = items();
    for (std::size_t i = 0; i < all.size(); ++i) {
        auto* item = QAccessible::queryAccessibleInterface(all[i]->widget());
        EXPECT_EQ(item->text(QAccessible::Name).toStdU16String(), unbox_value<hstring>(all[i]->Content()).str());
        EXPECT_EQ(static_cast<bool>(item->state().selected), i == 0) << "only the selected tool says so, item " << i;
    }
    all[1]->Tag(box_value(u"Test.ToolPage"));
    m_window->NavView()->SelectedItem(all[1]);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(all[1]->widget())->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(all[0]->widget())->state().selected);

    auto heading = std::dynamic_pointer_cast<xaml::TextBlock>(m_window->NavView()->Header());
    auto* header = QAccessible::queryAccessibleInterface(heading->widget());
    EXPECT_EQ(header->role(), QAccessible::Heading);
    EXPECT_EQ(header->text(QAccessible::Name).toStdU16String(), heading->Text().str());

    QAbstractButton* maximize = caption_button(frame, "Maximize");
    ASSERT_NE(maximize, nullptr);
    frame->showMaximized();
    EXPECT_TRUE(test::run_until([&] { return QAccessible::queryAccessibleInterface(maximize)->text(QAccessible::Name) == "Restore"; }));
}

TEST_F(MainWindowTest, TheBackdropFollowsTheDesktopTheme)
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(32, 32, 32));
    dark.setColor(QPalette::WindowText, Qt::white);
    QPalette light = original;
    light.setColor(QPalette::Window, QColor(243, 243, 243));
    light.setColor(QPalette::WindowText, Qt::black);
    const auto& configuration = m_window->backdrop_configuration();
    // The caption texts keep readable: their brush is the active theme's.
    auto caption_in = [&](xaml::ElementTheme theme) {
        return m_window->CaptionTextBlock()->Foreground() ==
               xaml::Application::Current()->Resources()->find(u"WindowCaptionForeground", theme);
    };
    QApplication::setPalette(dark);
    EXPECT_TRUE(test::run_until([&] { return configuration->Theme() == xaml::SystemBackdropTheme::Dark; }));
    EXPECT_TRUE(caption_in(xaml::ElementTheme::Dark));
    QApplication::setPalette(light);
    EXPECT_TRUE(test::run_until([&] { return configuration->Theme() == xaml::SystemBackdropTheme::Light; }));
    EXPECT_TRUE(caption_in(xaml::ElementTheme::Light));
    QApplication::setPalette(original);
}

TEST_F(MainWindowTest, ANavigationEventAfterTheWindowIsGoneDoesNothing)
{
    const auto nav = m_window->NavView();
    const auto search = nav->AutoSuggestBox();
    const auto second = items()[1];
    second->Tag(box_value(u"Test.ToolPage"));
    std::weak_ptr<MainWindow> gone = m_window;
    m_window->Close();
    m_window.reset();
    ASSERT_TRUE(test::run_until([&] { return gone.expired(); })) << "nothing else keeps the window";
    const auto heading = foundation::as<xaml::TextBlock>(nav->Header());
    const hstring before = heading->Text();
    EXPECT_NO_THROW(nav->SelectedItem(second));
    EXPECT_EQ(heading->Text(), before) << "no handler ran for the selection";
    QTest::keyClicks(search->editor(), "cert");
    for (const auto& entry : *nav->MenuItems())
        EXPECT_EQ(foundation::as<xaml::UIElement>(entry)->Visibility(), xaml::Visibility::Visible) << "no handler filtered the menu";
}

TEST_F(MainWindowTest, DeactivationDimsBothCaptionTexts)
{
    auto brush_of = [](const std::shared_ptr<xaml::TextBlock>& text) {
        return std::dynamic_pointer_cast<xaml::SolidColorBrush>(text->Foreground());
    };
    const auto theme = xaml::desktop_theme();
    const auto active = foundation::as<xaml::SolidColorBrush>(xaml::Application::Current()->Resources()->find(u"WindowCaptionForeground", theme));
    const auto inactive =
        foundation::as<xaml::SolidColorBrush>(xaml::Application::Current()->Resources()->find(u"WindowCaptionForegroundDisabled", theme));
    ASSERT_TRUE(test::run_until([&] { return brush_of(m_window->CaptionTextBlock()) == active; }));

    auto other = make<xaml::Window>();
    other->Activate();
    QApplication::setActiveWindow(other->widget());
    ASSERT_TRUE(test::run_until([&] { return brush_of(m_window->CaptionTextBlock()) == inactive; }));
    EXPECT_EQ(brush_of(m_window->MiddleTextBlock()), inactive);
    EXPECT_FALSE(m_window->backdrop_configuration()->IsInputActive());

    QApplication::setActiveWindow(m_window->widget());
    ASSERT_TRUE(test::run_until([&] { return brush_of(m_window->MiddleTextBlock()) == active; }));
    EXPECT_TRUE(m_window->backdrop_configuration()->IsInputActive());
    other->Close();
}

TEST(Application, ClosingTheMainWindowEndsStart)
{
    xaml::set_markup_folder(ZINTREL_APP_SOURCE_DIR);
    std::shared_ptr<MainWindow> window;
    std::shared_ptr<xaml::MicaController> backdrop;
    bool closed = false;
    // Close the window once the loop runs it, the way a user would.
    QTimer::singleShot(0, [&] {
        window = std::dynamic_pointer_cast<MainWindow>(xaml::Window::from_handle(App::current()->GetMainWindowHandle())
                                                           ->strong_self());
        ASSERT_NE(window, nullptr);
        backdrop = window->backdrop_controller();
        ASSERT_NE(backdrop, nullptr);
        window->Closed([&](const auto&, const auto&) { closed = true; });
        window->Close();
    });
    xaml::Application::Start([](const auto&) { make<App>(); });
    EXPECT_TRUE(closed) << "Start returns after the last window has closed";
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->backdrop_controller(), nullptr) << "closing released the backdrop";
    EXPECT_TRUE(backdrop->is_closed());
}
