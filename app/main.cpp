#include "ConversionQueue.h"
#include "DesignFont.h"
#include "QuitPolicy.h"
#include "ToolFolder.h"
#include "frmAMRConvert.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setFont(designFont());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    ConversionQueue conversions(ToolFolder::ofThisProgram());
    // Closing the main window brings up the offers window; closing that one, the last
    // window, ends the program once the conversions asked for have run.
    QuitPolicy quitPolicy(conversions);
    frmAMRConvert window(conversions);
    window.show();
    return application.exec();
}
