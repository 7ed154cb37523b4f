#include "PersonalToolFolder.h"

#include <QDir>

std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory)
{
    const ToolFolder personal(QDir::toNativeSeparators(personalDirectory), installed.separator());
    if (!QDir().mkpath(personal.path()) || !provideInstalledTools(installed, personal))
        return std::nullopt;
    return personal;
}
