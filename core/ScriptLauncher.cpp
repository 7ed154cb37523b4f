#include "ScriptLauncher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifndef _WIN32

struct Terminal {
    QString program;
    // What comes between the terminal's name and the command it runs.
    QStringList commandOption;
};

std::optional<Terminal> findTerminal()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;

    QList<Terminal> candidates;
    if (const QString preferred = qEnvironmentVariable("TERMINAL"); !preferred.isEmpty())
        candidates.append({preferred, {QStringLiteral("-e")}});
    candidates.append({{QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e")}},
                       {QStringLiteral("xterm"), {QStringLiteral("-e")}},
                       {QStringLiteral("gnome-terminal"), {QStringLiteral("--")}},
                       {QStringLiteral("konsole"), {QStringLiteral("-e")}},
                       {QStringLiteral("xfce4-terminal"), {QStringLiteral("-x")}}});
    for (const Terminal &terminal : candidates) {
        const QString path = QStandardPaths::findExecutable(terminal.program);
        if (!path.isEmpty())
            return Terminal{path, terminal.commandOption};
    }
    return std::nullopt;
}

#endif

} // namespace

Status RunBatchFile(const ToolFolder &toolFolder)
{
    const QString script = toolFolder.scriptPath();
    if (!QFileInfo(script).isFile()) {
        return Failure{QStringLiteral("Cannot start the conversion: the script \"%1\" is missing.")
                           .arg(script)};
    }

    QProcess process;
#ifdef _WIN32
    // The quotes keep a folder name with blanks in one piece; without them the
    // interpreter could run a stray "C:\Program.exe".
    process.setProgram(qEnvironmentVariable("ComSpec", QStringLiteral("cmd.exe")));
    process.setNativeArguments(QStringLiteral("/c \"\"%1\"\"").arg(script));
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
        arguments->flags &= ~(DETACHED_PROCESS | CREATE_NO_WINDOW);
        arguments->flags |= CREATE_NEW_CONSOLE;
    });
    // The script's cd changes the folder but not the drive; started in the tool folder,
    // the tools run there wherever the program was started from.
    process.setWorkingDirectory(toolFolder.path());
#else
    const QString runner = toolFolder.scriptRunnerPath();
    if (!QFileInfo(runner).isExecutable()) {
        return Failure{QStringLiteral("Cannot start the conversion: the script runner \"%1\" is "
                                      "missing. Reinstall the program.")
                           .arg(runner)};
    }
    if (const auto terminal = findTerminal()) {
        process.setProgram(terminal->program);
        process.setArguments(terminal->commandOption + QStringList{runner, script});
    } else {
        process.setProgram(runner);
        process.setArguments({script});
    }
#endif
    if (!process.startDetached()) {
        return Failure{QStringLiteral("Cannot start the conversion: \"%1\" could not be started "
                                      "(%2).")
                           .arg(process.program(), process.errorString())};
    }
    return std::nullopt;
}
