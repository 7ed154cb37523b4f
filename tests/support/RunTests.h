#pragma once

#include <QtGlobal>

#include <gtest/gtest.h>

// Runs the tests in an application of the kind they need. A conversion script that a test
// starts runs without a terminal window, whatever desktop the tests run on.
template <typename Application>
int runTests(int argc, char **argv)
{
    Application application(argc, argv);
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
