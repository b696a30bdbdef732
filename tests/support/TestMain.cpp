#ifdef LUMAVINE_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <cstdlib>
#include <gtest/gtest.h>

// Tests that draw, measure fonts or re-encode pictures need a GUI application,
// and those that show forms or the canvas a widgets one; the offscreen
// platform needs no display, and a platform chosen in the environment wins.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TestApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
