#include "PersonalToolFolder.h"

#include <QDir>

#include <algorithm>

std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory)
{
    const ToolFolder personal(QDir::toNativeSeparators(personalDirectory), installed.separator());
    const auto files = installedToolFiles(installed, personal);
    if (!QDir().mkpath(personal.path())
        || !std::ranges::all_of(files, [](const auto &file) { return provideInstalledFile(file.first, file.second); }))
        return std::nullopt;
    return personal;
}
