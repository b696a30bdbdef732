#include <QGuiApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Page pictures are drawn, so a GUI application is needed; the offscreen
// platform needs no display.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
