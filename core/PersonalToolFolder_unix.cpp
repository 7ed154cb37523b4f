// Links to the installed tools and script runner; the decoder finds its FFmpeg module
// beside the file its link leads to.

#include "PersonalToolFolder.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

bool provide(const QString &target, const QString &link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink() && existing.symLinkTarget() == QFileInfo(target).absoluteFilePath())
        return true;
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(link))
        return false;
    return QFile::link(target, link);
}

} // namespace

bool provideInstalledTools(const ToolFolder &installed, const ToolFolder &personal)
{
    const std::pair<QString, QString> links[] = {
        {installed.decoderPath(), personal.decoderPath()},
        {installed.encoderFilePath(), personal.encoderFilePath()},
        {installed.scriptRunnerPath(), personal.scriptRunnerPath()},
    };
    for (const auto &[target, link] : links) {
        if (!provide(target, link))
            return false;
    }
    return true;
}
