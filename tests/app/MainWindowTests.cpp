#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/foundation/activation.h"
#include "platform/shell/window.h"
#include "platform/xaml/markup.h"

#include "tests/support/event_loop.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
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
    void TearDown() override { m_window->Close(); }

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

// The text of every TextBlock of the tree, in order.
void collect_texts(const std::shared_ptr<xaml::UIElement>& element, std::vector<hstring>& texts)
{
    if (auto text = std::dynamic_pointer_cast<xaml::TextBlock>(element)) texts.push_back(text->Text());
    for (const auto& child : element->visual_children()) collect_texts(child, texts);
}

}  // namespace

TEST_F(MainWindowTest, OpensWithItsTitleAndFooter)
{
    EXPECT_EQ(m_window->Title(), u"Varnholt Zintrel");
    std::vector<hstring> texts;
    collect_texts(m_window->Content(), texts);
    auto has = [&](std::u16string_view part) {
        return std::any_of(texts.begin(), texts.end(), [&](const hstring& t) { return t.str().find(part) != std::u16string::npos; });
    };
    EXPECT_TRUE(has(u"2025")) << "the year run";
    EXPECT_TRUE(has(u"Varnholt"));
    EXPECT_NE(m_window->MiddleTextBlock()->Text().str().find(u"Varnholt Zintrel"), std::u16string::npos);
    EXPECT_NE(m_window->MiddleTextBlock()->Text().str().find(u"3.1.3"), std::u16string::npos);
    EXPECT_TRUE(m_window->widget()->windowFlags().testFlag(Qt::FramelessWindowHint)) << "content extends into the title bar";
    EXPECT_FALSE(m_window->widget()->windowIcon().isNull()) << "resource 101 gives the window its icons";
    EXPECT_EQ(m_window->NavView()->AutoSuggestBox()->widget()->accessibleName(), QString("Search the tools"))
        << "screen readers find the search box by its automation name";
}

TEST_F(MainWindowTest, TheOpenPaneHidesItsToggleButton)
{
    auto nav = m_window->NavView();
    nav->IsPaneOpen(false);
    EXPECT_TRUE(nav->IsPaneToggleButtonVisible());
    nav->IsPaneOpen(true);
    EXPECT_FALSE(nav->IsPaneToggleButtonVisible());
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

TEST_F(MainWindowTest, DragRectanglesFollowTheTitleBarLayout)
{
    auto bar = xaml::AppWindow::GetFromWindowId(xaml::GetWindowIdFromWindow(m_window->WindowHandle()))->TitleBar();
    ASSERT_TRUE(test::run_until([&] { return bar->drag_rectangles().size() == 5 && bar->drag_rectangles()[0].Width > 0; }));
    QCoreApplication::processEvents();
    m_window->UpdateTitleBarLayout(nullptr, {});

    const auto dpi = shell::GetDpiForWindow(m_window->WindowHandle());
    if (const char* factor = std::getenv("QT_SCALE_FACTOR")) {
        EXPECT_EQ(dpi, static_cast<shell::UINT>(std::lround(96 * std::atof(factor))));
    }
    const double scale = ((dpi * 100 + 48) / 96) / 100.0;
    const double H = m_window->TitleBarGrid()->ActualHeight();
    const double T = m_window->MiddleTextBlock()->ActualHeight();
    const auto& r = bar->drag_rectangles();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].Y, 0);
    EXPECT_EQ(r[0].Height, static_cast<std::int32_t>(H * scale));
    EXPECT_EQ(r[1].X, r[0].Width + r[0].X) << "the middle strips begin where the leading area ends";
    EXPECT_EQ(r[1].Height, static_cast<std::int32_t>((H - T) * 0.5 * scale));
    EXPECT_EQ(r[3].Y, static_cast<std::int32_t>((H - (H - T) * 0.5) * scale));
    EXPECT_NEAR(r[4].X, r[1].X + r[1].Width, 1) << "the trailing area follows the middle column";
    EXPECT_EQ(r[2].Width, r[1].Width) << "the third area has the middle column's width";
    // Each value is truncated on its own, so the sum may fall a pixel or two short.
    EXPECT_NEAR(r[4].X + r[4].Width + bar->RightInset(),
                std::lround(m_window->widget()->width() * m_window->widget()->devicePixelRatioF()), 2)
        << "with the caption buttons the areas span the window";
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

TEST_F(MainWindowTest, ClosingReleasesTheBackdrop)
{
    ASSERT_NE(m_window->backdrop_controller(), nullptr);
    auto controller = m_window->backdrop_controller();
    m_window->Close();
    EXPECT_EQ(m_window->backdrop_controller(), nullptr);
    EXPECT_TRUE(controller->is_closed());
}

TEST(Application, ClosingTheMainWindowEndsStart)
{
    xaml::set_markup_folder(ZINTREL_APP_SOURCE_DIR);
    std::shared_ptr<MainWindow> window;
    bool closed = false;
    // Close the window once the loop runs it, the way a user would.
    QTimer::singleShot(0, [&] {
        window = std::dynamic_pointer_cast<MainWindow>(xaml::Window::from_handle(App::current()->GetMainWindowHandle())
                                                           ->strong_self());
        ASSERT_NE(window, nullptr);
        ASSERT_NE(window->backdrop_controller(), nullptr);
        window->Closed([&](const auto&, const auto&) { closed = true; });
        window->Close();
    });
    xaml::Application::Start([](const auto&) { make<App>(); });
    EXPECT_TRUE(closed) << "Start returns after the last window has closed";
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->backdrop_controller(), nullptr) << "closing released the backdrop";
}
