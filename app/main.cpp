#include "DesignFont.h"
#include "frmAMRConvert.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setFont(designFont());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    frmAMRConvert window;
    window.show();
    // Closing the main window brings up the offers window; closing that one, the last
    // window, ends the program.
    return application.exec();
}
