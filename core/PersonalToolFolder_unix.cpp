// Links to the installed tools and script runner; the decoder finds its FFmpeg module
// beside the file its link leads to.

#include "PersonalToolFolder.h"

#include <QFile>
#include <QFileInfo>

bool provideInstalledFile(const QString &target, const QString &link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink() && existing.symLinkTarget() == QFileInfo(target).absoluteFilePath())
        return true;
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(link))
        return false;
    return QFile::link(target, link);
}

std::vector<std::pair<QString, QString>> installedToolFiles(const ToolFolder &installed, const ToolFolder &personal)
{
    return {
        {installed.decoderPath(), personal.decoderPath()},
        {installed.encoderFilePath(), personal.encoderFilePath()},
        {installed.scriptRunnerPath(), personal.scriptRunnerPath()},
    };
}
