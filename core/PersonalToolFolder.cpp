#include "PersonalToolFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

#ifdef _WIN32

// Only administrators may make symbolic links on Windows, so the user's folder holds
// copies; a copy that differs from the installed tool (after an update) is replaced.
bool provide(const QString &installedTool, const QString &copy)
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

#else

bool provide(const QString &target, const QString &link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink() && existing.symLinkTarget() == QFileInfo(target).absoluteFilePath())
        return true;
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(link))
        return false;
    return QFile::link(target, link);
}

#endif

} // namespace

std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory)
{
    const ToolFolder personal(QDir::toNativeSeparators(personalDirectory), installed.separator());
    if (!QDir().mkpath(personal.path()))
        return std::nullopt;
    const std::pair<QString, QString> links[] = {
        {installed.decoderPath(), personal.decoderPath()},
        {installed.encoderFilePath(), personal.encoderFilePath()},
#ifndef _WIN32
        {installed.scriptRunnerPath(), personal.scriptRunnerPath()},
#endif
    };
    for (const auto &[target, link] : links) {
        if (!provide(target, link))
            return std::nullopt;
    }
    return personal;
}
