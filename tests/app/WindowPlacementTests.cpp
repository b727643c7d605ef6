#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/xaml/markup/markup.h"

#include "tests/support/event_loop.h"
#include "tests/support/program_folder.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>

using namespace Zintrel;
using foundation::make;
using foundation::PropertyValue;
namespace fs = std::filesystem;

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override { xaml::set_markup_folder(ZINTREL_APP_SOURCE_DIR); }
    void TearDown() override
    {
        if (m_window) m_window->Close();
    }

    // Starts the program's window as a launch would; each test waits for what the restore
    // must bring about.
    std::shared_ptr<MainWindow> launch()
    {
        m_app = make<App>();
        auto window = make<MainWindow>();
        window->Activate();
        EXPECT_TRUE(test::run_until([&] { return window->widget()->isVisible(); }));
        return window;
    }

    // Where the restored window must show: on the screen's work area.
    static QRect work_area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    std::shared_ptr<foundation::PropertySet> settings() const
    {
        return appmodel::ApplicationData::Current()->LocalSettings()->Values();
    }

    // Saves a placement record of these entries.
    void store(std::initializer_list<std::pair<const char16_t*, foundation::IInspectable>> entries)
    {
        auto record = make<appmodel::ApplicationDataCompositeValue>();
        for (const auto& [name, value] : entries) record->Insert(name, value);
        settings()->Insert(u"WindowPlacement", record);
    }
    // Closes the window of the last launch.
    void close()
    {
        m_window->Close();
        m_window.reset();
    }

    test::program_folder m_folder;
    std::shared_ptr<App> m_app;
    std::shared_ptr<MainWindow> m_window;
};

}  // namespace

TEST_F(Placement, AMaximizedWindowReopensMaximizedWithItsNormalRectangle)
{
    auto first = launch();
    first->widget()->setGeometry(120, 80, 660, 450);
    first->widget()->showMaximized();
    ASSERT_TRUE(test::run_until([&] { return first->widget()->isMaximized(); }));
    first->Close();
    ASSERT_NE(settings()->TryLookup(u"WindowPlacement"), nullptr) << "closing saves the placement";

    appmodel::reset_application_data_for_tests();  // a new run reads the file again
    m_window = launch();
    EXPECT_TRUE(test::run_until([&] { return m_window->widget()->isMaximized(); }));
    const double scale = m_window->widget()->devicePixelRatioF();
    const QRect normal = m_window->widget()->normalGeometry();
    EXPECT_NEAR(normal.x(), 120, scale);
    EXPECT_NEAR(normal.width(), 660, 2 * scale);
    EXPECT_NEAR(normal.height(), 450, 2 * scale);
}

TEST_F(Placement, OnlyANormalRectangleMovesTheWindowAndKeepsItsState)
{
    store({{u"rcNormalPosition", PropertyValue::CreateRect({100.0f, 50.0f, 800.0f, 600.0f})}});
    m_window = launch();
    const double scale = m_window->widget()->devicePixelRatioF();
    ASSERT_TRUE(test::run_until([&] { return m_window->widget()->x() == static_cast<int>(100 / scale); }));
    EXPECT_EQ(m_window->widget()->geometry(),
              QRect(static_cast<int>(100 / scale), static_cast<int>(50 / scale), static_cast<int>(800 / scale),
                    static_cast<int>(600 / scale)))
        << "left 100, top 50, right 900, bottom 650";
    EXPECT_FALSE(m_window->widget()->isMaximized());
}

TEST_F(Placement, AMinimizedWindowReopensNormalAndMistypedEntriesAreIgnored)
{
    store({{u"showCmd", PropertyValue::CreateUInt32(2)},
           {u"rcNormalPosition", PropertyValue::CreateRect({60.0f, 40.0f, 700.0f, 500.0f})},
           {u"ptMaxPosition", PropertyValue::CreateString(u"not a point")}});
    m_window = launch();
    ASSERT_TRUE(test::run_until([&] { return m_window->widget()->width() == static_cast<int>(700 / m_window->widget()->devicePixelRatioF()); }));
    EXPECT_FALSE(m_window->widget()->isMinimized());
}

TEST_F(Placement, ARectangleBeyondTheIntegersIsIgnoredAndTheRestApplied)
{
    auto first = launch();
    const QRect given = first->widget()->geometry();
    first->Close();
    for (const foundation::Rect rect : {foundation::Rect{1e10f, 50.0f, 800.0f, 600.0f}, foundation::Rect{100.0f, 50.0f, 3e38f, 600.0f}}) {
        store({{u"showCmd", PropertyValue::CreateUInt32(3)},
               {u"rcNormalPosition", PropertyValue::CreateRect(rect)},
               {u"ptMaxPosition", PropertyValue::CreatePoint({-3e9f, 0.0f})}});
        m_window = launch();
        EXPECT_TRUE(test::run_until([&] { return m_window->widget()->isMaximized(); })) << "the show state still applies";
        EXPECT_EQ(m_window->widget()->normalGeometry(), given) << rect.X << " " << rect.Width;
        close();
    }
}

TEST_F(Placement, WithoutAPackageNothingIsReadOrWritten)
{
    m_folder.package(false);
    m_window = launch();
    EXPECT_TRUE(m_app->IsUnpackaged);
    m_window->widget()->setGeometry(10, 10, 640, 480);
    close();
    EXPECT_FALSE(fs::exists(m_folder.config())) << "no settings file, not even a folder";
}

TEST_F(Placement, ARectangleOffEveryScreenComesBackOnTheNearestWorkArea)
{
    const double scale = QGuiApplication::primaryScreen()->devicePixelRatio();
    const QRect area = work_area();
    // Physical pixels, as saved: beyond the bottom right, above the top left, and absurdly large.
    const foundation::Rect saved[] = {
        {static_cast<float>((area.right() + 3000) * scale), static_cast<float>((area.bottom() + 3000) * scale), 800.0f, 600.0f},
        {-3000.0f, -2000.0f, 700.0f, 500.0f},
        {100.0f, 50.0f, 100000.0f, 100000.0f},
    };
    for (const auto& rect : saved) {
        store({{u"rcNormalPosition", PropertyValue::CreateRect(rect)}});
        m_window = launch();
        // The saved size, no larger than the work area.
        const QSize expected = QSize(static_cast<int>(rect.Width / scale), static_cast<int>(rect.Height / scale)).boundedTo(area.size());
        EXPECT_TRUE(test::run_until([&] { return m_window->widget()->size() == expected; }));
        EXPECT_TRUE(area.contains(m_window->widget()->geometry()))
            << rect.X << "," << rect.Y << " " << rect.Width << "x" << rect.Height;
        close();
        appmodel::reset_application_data_for_tests();
    }
}

// The restore waits for the settings' version: what it restores from is the data of the launch
// that asked, even when the process's data has gone by then (here: a test's package folder).
TEST_F(Placement, TheRestoreUsesTheSettingsItWasStartedWith)
{
    store({{u"showCmd", PropertyValue::CreateUInt32(3)}});  // maximized
    m_app = make<App>();
    m_window = make<MainWindow>();
    m_folder.package(false);
    m_window->Activate();
    EXPECT_TRUE(test::run_until([&] { return m_window->widget()->isMaximized(); }));
}

TEST_F(Placement, TheFirstRunFitsTheScreen)
{
    m_window = launch();
    const QRect area = work_area();
    EXPECT_TRUE(area.contains(m_window->widget()->frameGeometry()))
        << m_window->widget()->width() << "x" << m_window->widget()->height() << " on " << area.width() << "x" << area.height();
}
