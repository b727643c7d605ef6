#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/appmodel/ApplicationData.h"
#include "platform/appmodel/Package.h"
#include "platform/xaml/markup.h"

#include "tests/support/event_loop.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
        setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        appmodel::reset_application_data_for_tests();
    }
    void TearDown() override
    {
        if (m_window) m_window->Close();
        appmodel::reset_application_data_for_tests();
        appmodel::set_package_folder_for_tests({});
        fs::remove_all(m_dir);
    }

    // Starts the program's window as a launch would, and lets its settings start-up finish.
    std::shared_ptr<MainWindow> launch()
    {
        m_app = make<App>();
        auto window = make<MainWindow>();
        window->Activate();
        test::run_until([&] { return window->widget()->isVisible(); });
        // The restore follows a round trip through the pool.
        test::run_until([] { return false; }, std::chrono::milliseconds(150));
        return window;
    }

    std::shared_ptr<foundation::PropertySet> settings() const
    {
        return appmodel::ApplicationData::Current()->LocalSettings()->Values();
    }

    void store(const std::shared_ptr<appmodel::ApplicationDataCompositeValue>& record)
    {
        settings()->Insert(u"WindowPlacement", record);
    }

    fs::path m_dir;
    std::shared_ptr<App> m_app;
    std::shared_ptr<MainWindow> m_window;
};

}  // namespace

TEST_F(Placement, AMaximizedWindowReopensMaximizedWithItsNormalRectangle)
{
    auto first = launch();
    first->widget()->setGeometry(120, 80, 900, 600);
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
    EXPECT_NEAR(normal.width(), 900, 2 * scale);
    EXPECT_NEAR(normal.height(), 600, 2 * scale);
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
