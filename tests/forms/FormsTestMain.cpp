#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Forms are widgets; the offscreen platform needs no display.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
