#include <QApplication>

#include <gtest/gtest.h>

// For tests of widgets, icons and cursors, which need a GUI application.
int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    // A conversion script that a test starts runs without a terminal window, whatever
    // desktop the tests run on.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
