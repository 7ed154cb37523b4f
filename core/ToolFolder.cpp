#include "ToolFolder.h"

#include <utility>

ToolFolder::ToolFolder(QString applicationDirectory, QChar separator)
    : m_applicationDirectory(std::move(applicationDirectory)), m_separator(separator)
{
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

QString ToolFolder::encoderFilePath() const { return encoderPath() + QStringLiteral(EXECUTABLE_SUFFIX); }
QString ToolFolder::decoderModulePath() const { return inToolFolder(QStringLiteral(DECODER_MODULE_NAME)); }
QString ToolFolder::scriptPath() const { return inToolFolder(QStringLiteral("WAV2AMR.bat")); }
QString ToolFolder::wavPath() const { return inToolFolder(QStringLiteral("temp.wav")); }
QString ToolFolder::lockPath() const { return inToolFolder(QStringLiteral("WAV2AMR.lock")); }
QString ToolFolder::runReportPath() const { return inToolFolder(QStringLiteral("WAV2AMR.run")); }
QString ToolFolder::toolMessagesPath() const { return inToolFolder(QStringLiteral("WAV2AMR.msg")); }

QString ToolFolder::scriptRunnerPath() const
{
    return m_applicationDirectory + m_separator + QStringLiteral("batchrun");
}
