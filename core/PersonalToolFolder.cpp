#include "PersonalToolFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

bool linkTo(const QString &target, const QString &link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink() && existing.symLinkTarget() == QFileInfo(target).absoluteFilePath())
        return true;
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(link))
        return false;
    return QFile::link(target, link);
}

} // namespace

std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory)
{
    const ToolFolder personal(QDir::toNativeSeparators(personalDirectory), installed.separator());
    if (!QDir().mkpath(personal.path()))
        return std::nullopt;
    const std::pair<QString, QString> links[] = {
        {installed.decoderPath(), personal.decoderPath()},
        {installed.encoderPath(), personal.encoderPath()},
        {installed.scriptRunnerPath(), personal.scriptRunnerPath()},
    };
    for (const auto &[target, link] : links) {
        if (!linkTo(target, link))
            return std::nullopt;
    }
    return personal;
}
