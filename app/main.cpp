#include "DesignFont.h"
#include "Program.h"
#include "ProgramToolFolder.h"

#include <QApplication>
#include <QIcon>

#ifndef _WIN32
#include <fontconfig/fontconfig.h>

#include <future>
#endif

int main(int argc, char *argv[])
{
#ifndef _WIN32
    // Reading fontconfig's configuration costs more than the rest of the first text; it
    // runs while the application connects to the display.
    std::future<FcBool> fontConfiguration = std::async(std::launch::async, FcInit);
#endif
    QApplication application(argc, argv);
#ifndef _WIN32
    // Qt would read the whole configuration again rather than wait for the reading under way.
    fontConfiguration.wait();
#endif
    QApplication::setFont(designFont());
    // Every window without an icon of its own shows the application icon, the main window too.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    Program program(programToolFolder());
    program.mainWindow().show();
    return application.exec();
}
