// The program as far as converting goes, for tests that kill it in the middle of a run:
//
//   queuehost APPLICATION_DIRECTORY INPUT OUTPUT
//
// converts INPUT to OUTPUT at 7.4 kbit/s with the tool folder of APPLICATION_DIRECTORY
// and ends when the conversion has.

#include "ConversionQueue.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    ConversionQueue queue{ToolFolder(arguments[1])};
    QObject::connect(&queue, &ConversionQueue::idle, &application, &QCoreApplication::quit);
    if (queue.convert({arguments[2], arguments[3], QStringLiteral("7.4")}, QDir::currentPath()))
        return 1;
    return QCoreApplication::exec();
}
