#include "ToolFolder.h"

#include "PersonalToolFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

ToolFolder::ToolFolder(QString applicationDirectory, QChar separator)
    : m_applicationDirectory(std::move(applicationDirectory)), m_separator(separator)
{
}

ToolFolder ToolFolder::ofThisProgram()
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
QString ToolFolder::scriptPath() const { return inToolFolder(QStringLiteral("WAV2AMR.bat")); }
QString ToolFolder::wavPath() const { return inToolFolder(QStringLiteral("temp.wav")); }
QString ToolFolder::lockPath() const { return inToolFolder(QStringLiteral("WAV2AMR.lock")); }
QString ToolFolder::runReportPath() const { return inToolFolder(QStringLiteral("WAV2AMR.run")); }

QString ToolFolder::scriptRunnerPath() const
{
    return m_applicationDirectory + m_separator + QStringLiteral("batchrun");
}
