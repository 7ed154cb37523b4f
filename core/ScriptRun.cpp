#include "ScriptRun.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

Failure cannotStart(const QString &reason)
{
    return Failure{QStringLiteral("Cannot start the conversion: %1.").arg(reason)};
}

#ifndef _WIN32

// A terminal emulator may take a few seconds to open its first window.
constexpr int consoleStartSeconds = 60;
constexpr int reportPollMilliseconds = 100;

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

// The report's text once the runner has let go of it; nothing while the run lasts.
std::optional<QByteArray> finishedReport(const QString &path)
{
    const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    std::optional<QByteArray> text;
    if (flock(descriptor, LOCK_SH | LOCK_NB) == 0) {
        QFile file;
        if (file.open(descriptor, QIODevice::ReadOnly))
            text = file.readAll();
    }
    close(descriptor);
    return text;
}

#endif

} // namespace

ScriptRun::ScriptRun(ToolFolder toolFolder, QObject *parent)
    : QObject(parent), m_toolFolder(std::move(toolFolder))
{
#ifndef _WIN32
    connect(&m_reportPoll, &QTimer::timeout, this, &ScriptRun::checkReport);
#endif
}

#ifdef _WIN32

Status ScriptRun::start()
{
    const QString script = m_toolFolder.scriptPath();
    if (!QFileInfo(script).isFile())
        return cannotStart(QStringLiteral("the script \"%1\" is missing").arg(script));

    m_interpreter = new QProcess(this);
    // The quotes keep a folder name with blanks in one piece; without them the
    // interpreter could run a stray "C:\Program.exe".
    m_interpreter->setProgram(qEnvironmentVariable("ComSpec", QStringLiteral("cmd.exe")));
    m_interpreter->setNativeArguments(QStringLiteral("/c \"\"%1\"\"").arg(script));
    m_interpreter->setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
        arguments->flags &= ~(DETACHED_PROCESS | CREATE_NO_WINDOW);
        arguments->flags |= CREATE_NEW_CONSOLE;
    });
    // The script's cd changes the folder but not the drive; started in the tool folder,
    // the tools run there wherever the program was started from.
    m_interpreter->setWorkingDirectory(m_toolFolder.path());
    connect(m_interpreter, &QProcess::finished, this, [this](int, QProcess::ExitStatus status) {
        emit ended({status == QProcess::NormalExit ? RunEnd::Kind::Completed : RunEnd::Kind::Stopped,
                    {}, false});
    });
    m_interpreter->start();
    if (!m_interpreter->waitForStarted()) {
        return cannotStart(QStringLiteral("\"%1\" could not be started (%2)")
                               .arg(m_interpreter->program(), m_interpreter->errorString()));
    }
    return std::nullopt;
}

#else

Status ScriptRun::start()
{
    const QString script = m_toolFolder.scriptPath();
    if (!QFileInfo(script).isFile())
        return cannotStart(QStringLiteral("the script \"%1\" is missing").arg(script));
    const QString runner = m_toolFolder.scriptRunnerPath();
    if (!QFileInfo(runner).isExecutable()) {
        return cannotStart(QStringLiteral("the script runner \"%1\" is missing. Reinstall the "
                                          "program").arg(runner));
    }
    const QString report = m_toolFolder.runReportPath();
    if (QFileInfo::exists(report) && !QFile::remove(report))
        return cannotStart(QStringLiteral("the old run report \"%1\" cannot be removed").arg(report));

    const QStringList runnerArguments{QStringLiteral("--report"), report, script};
    QString program = runner;
    QStringList arguments = runnerArguments;
    if (const auto terminal = findTerminal()) {
        program = terminal->program;
        arguments = terminal->commandOption + QStringList{runner, QStringLiteral("--console")}
                    + runnerArguments;
        m_inConsole = true;
    }
    if (!QProcess::startDetached(program, arguments))
        return cannotStart(QStringLiteral("\"%1\" could not be started").arg(program));

    m_startDeadline.setRemainingTime(consoleStartSeconds * 1000);
    m_reportPoll.start(reportPollMilliseconds);
    return std::nullopt;
}

void ScriptRun::checkReport()
{
    const QString path = m_toolFolder.runReportPath();
    RunEnd end;
    if (!QFileInfo::exists(path)) {
        if (!m_startDeadline.hasExpired())
            return;
        end = {RunEnd::Kind::Failed,
               QStringLiteral("the console window did not start the conversion within %1 seconds")
                   .arg(consoleStartSeconds),
               false};
    } else {
        const std::optional<QByteArray> report = finishedReport(path);
        if (!report)
            return;
        const QList<QByteArray> lines = report->split('\n');
        if (lines.value(0) == "ended 0")
            end = {RunEnd::Kind::Completed, {}, false};
        else if (lines.value(0).startsWith("ended "))
            end = {RunEnd::Kind::Failed, QString::fromLocal8Bit(lines.value(1)), m_inConsole};
        else if (lines.value(0) == "stopped")
            end = {RunEnd::Kind::Stopped, QStringLiteral("the conversion was stopped"), m_inConsole};
        else
            end = {RunEnd::Kind::Stopped, QStringLiteral("the script runner ended before the script did"),
                   false};
    }
    m_reportPoll.stop();
    emit ended(end);
}

#endif
