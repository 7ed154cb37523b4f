#include "RunTests.h"

#include <QApplication>

// For tests of widgets, icons and cursors, which need a GUI application.
int main(int argc, char **argv)
{
    return runTests<QApplication>(argc, argv);
}
