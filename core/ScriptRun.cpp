// What the platforms' runs share; ScriptRun_unix.cpp and ScriptRun_win.cpp hold the rest.

#include "ScriptRun.h"

Failure ScriptRun::cannotStart(const QString &reason)
{
    return Failure{QStringLiteral("Cannot start the conversion: %1.").arg(reason)};
}

QProcessEnvironment ScriptRun::toolEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AMR_TOOL_MESSAGES"), m_toolFolder.toolMessagesPath());
    return environment;
}
