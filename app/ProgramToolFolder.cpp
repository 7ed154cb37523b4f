#include "ProgramToolFolder.h"

#include "PersonalToolFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

#ifdef _WIN32

// Whether the user may create files in the folder. Windows decides that by the folder's
// access control list, which its attributes do not show, so a file is tried there.
bool mayWriteIn(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/write-test-XXXXXX"));
    return probe.open();
}

#else

bool mayWriteIn(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

#endif

} // namespace

ToolFolder programToolFolder()
{
    ToolFolder installed(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    // A system-wide installation's tool folder is not the user's to write in.
    if (!mayWriteIn(installed.path())) {
        const QString personalDirectory =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        if (auto personal = personalToolFolder(installed, personalDirectory))
            return *personal;
    }
    return installed;
}
