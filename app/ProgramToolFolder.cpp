#include "ProgramToolFolder.h"

#include "PersonalToolFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ToolFolder programToolFolder()
{
    ToolFolder installed(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
#ifndef _WIN32
    // A system-wide installation's tool folder is not the user's to write in.
    if (!QFileInfo(installed.path()).isWritable()) {
        const QString personalDirectory =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        if (auto personal = personalToolFolder(installed, personalDirectory))
            return *personal;
    }
#endif
    return installed;
}
