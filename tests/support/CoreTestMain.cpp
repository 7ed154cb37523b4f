#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // A conversion script that a test starts runs without a terminal window, whatever
    // desktop the tests run on.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
