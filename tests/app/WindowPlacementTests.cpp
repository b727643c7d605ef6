#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"
#include "platform/xaml/markup/markup.h"

#include "tests/support/event_loop.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

using namespace Zintrel;
using foundation::make;
using foundation::PropertyValue;
namespace fs = std::filesystem;

namespace {

// A packaged program with a private configuration folder; packaged can be turned off.
class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        xaml::set_markup_folder(ZINTREL_APP_SOURCE_DIR);
        m_dir = fs::temp_directory_path() / ("zintrel-placement-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir / "program");
        std::ofstream(m_dir / "program" / appmodel::PackageManifestName)
            << "<Package><Identity Name=\"Varnholt.Zintrel\" Version=\"3.1.3.0\"/></Package>\n";
        appmodel::set_package_folder_for_tests(foundation::hstring((m_dir / "program").u16string()));
        if (const char* before = std::getenv("XDG_CONFIG_HOME")) m_configHome = before;
        setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        appmodel::reset_application_data_for_tests();
    }
    void TearDown() override
    {
        if (m_window) m_window->Close();
        appmodel::reset_application_data_for_tests();
        appmodel::set_package_folder_for_tests({});
        if (m_configHome) setenv("XDG_CONFIG_HOME", m_configHome->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(m_dir);
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

    void store(const std::shared_ptr<appmodel::ApplicationDataCompositeValue>& record)
    {
        settings()->Insert(u"WindowPlacement", record);
    }

    fs::path m_dir;
    std::optional<std::string> m_configHome;
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
    auto record = make<appmodel::ApplicationDataCompositeValue>();
    record->Insert(u"rcNormalPosition", PropertyValue::CreateRect({100.0f, 50.0f, 800.0f, 600.0f}));
    store(record);
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
    auto record = make<appmodel::ApplicationDataCompositeValue>();
    record->Insert(u"showCmd", PropertyValue::CreateUInt32(2));
    record->Insert(u"rcNormalPosition", PropertyValue::CreateRect({60.0f, 40.0f, 700.0f, 500.0f}));
    record->Insert(u"ptMaxPosition", PropertyValue::CreateString(u"not a point"));
    store(record);
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
        auto record = make<appmodel::ApplicationDataCompositeValue>();
        record->Insert(u"showCmd", PropertyValue::CreateUInt32(3));
        record->Insert(u"rcNormalPosition", PropertyValue::CreateRect(rect));
        record->Insert(u"ptMaxPosition", PropertyValue::CreatePoint({-3e9f, 0.0f}));
        store(record);
        m_window = launch();
        EXPECT_TRUE(test::run_until([&] { return m_window->widget()->isMaximized(); })) << "the show state still applies";
        EXPECT_EQ(m_window->widget()->normalGeometry(), given) << rect.X << " " << rect.Width;
        m_window->Close();
        m_window.reset();
    }
}

TEST_F(Placement, WithoutAPackageNothingIsReadOrWritten)
{
    appmodel::set_package_folder_for_tests(foundation::hstring((m_dir / "nowhere").u16string()));
    m_window = launch();
    EXPECT_TRUE(m_app->IsUnpackaged);
    m_window->widget()->setGeometry(10, 10, 640, 480);
    m_window->Close();
    m_window.reset();
    EXPECT_FALSE(fs::exists(m_dir / "config")) << "no settings file, not even a folder";
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
        auto record = make<appmodel::ApplicationDataCompositeValue>();
        record->Insert(u"rcNormalPosition", PropertyValue::CreateRect(rect));
        store(record);
        m_window = launch();
        // The saved size, no larger than the work area.
        const QSize expected = QSize(static_cast<int>(rect.Width / scale), static_cast<int>(rect.Height / scale)).boundedTo(area.size());
        EXPECT_TRUE(test::run_until([&] { return m_window->widget()->size() == expected; }));
        EXPECT_TRUE(area.contains(m_window->widget()->geometry()))
            << rect.X << "," << rect.Y << " " << rect.Width << "x" << rect.Height << " shows at "
            << m_window->widget()->geometry().x() << "," << m_window->widget()->geometry().y() << " "
            << m_window->widget()->width() << "x" << m_window->widget()->height();
        m_window->Close();
        m_window.reset();
        appmodel::reset_application_data_for_tests();
    }
}

// The restore waits for the settings' version: what it restores from is the data of the launch
// that asked, even when the process's data has gone by then (here: a test's package folder).
TEST_F(Placement, TheRestoreUsesTheSettingsItWasStartedWith)
{
    auto record = make<appmodel::ApplicationDataCompositeValue>();
    record->Insert(u"showCmd", PropertyValue::CreateUInt32(3));  // maximized
    store(record);
    m_app = make<App>();
    m_window = make<MainWindow>();
    appmodel::set_package_folder_for_tests(foundation::hstring((m_dir / "nowhere").u16string()));
    appmodel::reset_application_data_for_tests();
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
