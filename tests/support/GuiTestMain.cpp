#include <QApplication>

#include <gtest/gtest.h>

// For tests of widgets, icons and cursors, which need a GUI application.
int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
