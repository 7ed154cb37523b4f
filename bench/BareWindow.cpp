// The yardstick of bench/startup: a bare Qt window of the main window's size, shown as
// soon as the application exists.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    // The main window's client area, 653 x 110 pixels.
    window.setFixedSize(653, 110);
    window.show();
    return application.exec();
}
