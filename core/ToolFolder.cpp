#include "ToolFolder.h"

#include "PersonalToolFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <utility>

namespace {

// Whether the user may create files in the folder. Windows decides that by the folder's
// access control list, which its attributes do not show, so a file is tried there.
bool mayWriteIn(const QString &folder)
{
#ifdef _WIN32
    QTemporaryFile probe(folder + QStringLiteral("/write-test-XXXXXX"));
    return probe.open();
#else
    return QFileInfo(folder).isWritable();
#endif
}

} // namespace

ToolFolder::ToolFolder(QString applicationDirectory, QChar separator)
    : m_applicationDirectory(std::move(applicationDirectory)), m_separator(separator)
{
}

ToolFolder ToolFolder::ofThisProgram()
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

QString ToolFolder::path() const
{
    return m_applicationDirectory + m_separator + QStringLiteral("amr");
}

QString ToolFolder::inToolFolder(const QString &name) const
{
    return path() + m_separator + name;
}

QString ToolFolder::decoderPath() const { return inToolFolder(QStringLiteral("madplay.exe")); }
QString ToolFolder::encoderPath() const { return inToolFolder(QStringLiteral("converter")); }

QString ToolFolder::encoderFilePath() const
{
#ifdef _WIN32
    return encoderPath() + QStringLiteral(".exe");
#else
    return encoderPath();
#endif
}
QString ToolFolder::scriptPath() const { return inToolFolder(QStringLiteral("WAV2AMR.bat")); }
QString ToolFolder::wavPath() const { return inToolFolder(QStringLiteral("temp.wav")); }

QString ToolFolder::scriptRunnerPath() const
{
    return m_applicationDirectory + m_separator + QStringLiteral("batchrun");
}
