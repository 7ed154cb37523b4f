#include "DesignFont.h"
#include "Program.h"
#include "ProgramToolFolder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setFont(designFont());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    Program program(programToolFolder());
    program.mainWindow().show();
    return application.exec();
}
