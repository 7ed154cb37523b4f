// Copies of the installed tools, the decoder's FFmpeg module among them, as the decoder
// loads it from its own folder: only administrators may make symbolic links on Windows.
// A copy that differs from the installed file (after an update) is replaced.

#include "PersonalToolFolder.h"

#include <QFile>

bool provideInstalledFile(const QString &installedTool, const QString &copy)
{
    QFile installed(installedTool);
    QFile existing(copy);
    if (existing.size() == installed.size() && installed.open(QIODevice::ReadOnly)
        && existing.open(QIODevice::ReadOnly) && existing.readAll() == installed.readAll()) {
        return true;
    }
    existing.close();
    if (existing.exists() && !existing.remove())
        return false;
    return QFile::copy(installedTool, copy);
}

std::vector<std::pair<QString, QString>> installedToolFiles(const ToolFolder &installed, const ToolFolder &personal)
{
    return {
        {installed.decoderPath(), personal.decoderPath()},
        {installed.decoderModulePath(), personal.decoderModulePath()},
        {installed.encoderFilePath(), personal.encoderFilePath()},
    };
}
