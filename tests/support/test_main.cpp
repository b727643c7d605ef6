// Test entry: a Qt application object on the main thread, so the UI dispatcher has a loop to
// post to; GUI suites get a widget application and the UI layer's types.

#include <gtest/gtest.h>

#ifdef ZINTREL_TEST_GUI
#include "platform/xaml/window/Application.h"

#include <QApplication>
using application = QApplication;
#else
#include <QCoreApplication>
using application = QCoreApplication;
#endif

#include <cstdlib>

int main(int argc, char** argv)
{
    // Without a display (a build listing the tests, CI), widgets draw offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    application app(argc, argv);
#ifdef ZINTREL_TEST_GUI
    xaml::register_types();
#endif
    return RUN_ALL_TESTS();
}
