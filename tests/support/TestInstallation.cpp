#include "TestInstallation.h"

#include <QDir>
#include <QFile>

namespace {

bool provide(const QString &built, const QString &installed)
{
#ifdef _WIN32
    return QFile::copy(built, installed);
#else
    return QFile::link(built, installed);
#endif
}

} // namespace

TestInstallation::TestInstallation()
    : m_tools(QDir::toNativeSeparators(m_folder.path()))
{
    m_valid = m_folder.isValid() && QDir(m_folder.path()).mkdir(QStringLiteral("amr"));
}

QString TestInstallation::filePath(const QString &name) const
{
    return m_folder.filePath(name);
}

bool TestInstallation::addScriptRunner() const
{
#ifdef _WIN32
    return true;
#else
    return provide(QStringLiteral(BATCHRUN_PATH), m_tools.scriptRunnerPath());
#endif
}

bool TestInstallation::addStandIns() const
{
    // Copies: a link would run under the stand-in's own name, which AMR_RECORD_FAIL tells
    // the tools apart by. The stand-in decoder loads no module; the file is there as the
    // installation's.
    return QFile::copy(QStringLiteral(STAND_IN_PATH), m_tools.decoderPath())
           && QFile::copy(QStringLiteral(STAND_IN_PATH), m_tools.decoderModulePath())
           && QFile::copy(QStringLiteral(STAND_IN_PATH), m_tools.encoderFilePath());
}

bool TestInstallation::addBuiltTools() const
{
    return provide(QStringLiteral(DECODER_PATH), m_tools.decoderPath())
           && provide(QStringLiteral(DECODER_MODULE_PATH), m_tools.decoderModulePath())
           && provide(QStringLiteral(ENCODER_PATH), m_tools.encoderFilePath());
}
