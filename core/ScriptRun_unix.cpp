// The script runner beside the program runs the script, in a terminal emulator where
// there is one, and tells how the run went through its run report: "starting" from the
// program until the runner takes the report over, locked by the runner while the run
// lasts, then how it ended (see batchrun).

#include "ScriptRun.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A terminal emulator may take a few seconds to open its first window.
constexpr int consoleStartSeconds = 60;
constexpr int reportPollMilliseconds = 100;

const QByteArray starting = "starting\n";

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

// The run report as a reader finds it.
struct Report {
    bool exists = false;
    // The runner holds it: the run goes on.
    bool locked = false;
    QByteArray text;
    QDateTime modified;

    static Report read(const QString &path)
    {
        const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return {};
        Report report{true, flock(descriptor, LOCK_SH | LOCK_NB) != 0, {}, {}};
        struct stat status {};
        QFile file;
        if (!report.locked && fstat(descriptor, &status) == 0 && file.open(descriptor, QIODevice::ReadOnly)) {
            report.text = file.readAll();
            report.modified = QDateTime::fromSecsSinceEpoch(status.st_mtime);
        }
        close(descriptor);
        return report;
    }

    // Written by the program that starts the run, not yet taken over by the runner.
    bool isStarting() const { return text == starting; }
};

} // namespace

class ScriptRun::Watch {
public:
    // How the run ended, once the runner has said so or has not started in time.
    std::optional<RunEnd> end(const ToolFolder &toolFolder) const
    {
        const Report report = Report::read(toolFolder.runReportPath());
        if (report.locked || ((!report.exists || report.isStarting()) && !startDeadline.hasExpired()))
            return std::nullopt;
        if (!report.exists || report.isStarting()) {
            return RunEnd{RunEnd::Kind::Failed,
                          QStringLiteral("the console window did not start the conversion within "
                                         "%1 seconds").arg(consoleStartSeconds)};
        }
        const QList<QByteArray> lines = report.text.split('\n');
        if (lines.value(0) == "ended 0")
            return RunEnd{RunEnd::Kind::Completed, {}};
        if (lines.value(0).startsWith("ended "))
            return RunEnd{RunEnd::Kind::Failed, QString::fromLocal8Bit(lines.value(1))};
        if (lines.value(0) == "stopped")
            return RunEnd{RunEnd::Kind::Stopped, QStringLiteral("the conversion was stopped")};
        return RunEnd{RunEnd::Kind::Stopped, QStringLiteral("the script runner ended before the script did")};
    }

    QDeadlineTimer startDeadline;
    QTimer reportPoll;
};

ScriptRun::ScriptRun(ToolFolder toolFolder, QObject *parent)
    : QObject(parent), m_toolFolder(std::move(toolFolder)), m_watch(std::make_unique<Watch>())
{
    connect(&m_watch->reportPoll, &QTimer::timeout, this, [this] {
        if (const std::optional<RunEnd> end = m_watch->end(m_toolFolder)) {
            m_watch->reportPoll.stop();
            emit ended(*end);
        }
    });
}

ScriptRun::~ScriptRun() = default;

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
    // From now on the run counts as going, also for a copy of the program started while
    // the terminal opens, and also should this program end before the runner starts.
    const QString report = m_toolFolder.runReportPath();
    QSaveFile reportFile(report);
    if (!reportFile.open(QIODevice::WriteOnly) || reportFile.write(starting) != starting.size()
        || !reportFile.commit()) {
        return cannotStart(QStringLiteral("the run report \"%1\" cannot be written: %2")
                               .arg(report, reportFile.errorString()));
    }

    const QStringList runnerArguments{QStringLiteral("--report"), report, script};
    QProcess process;
    process.setProgram(runner);
    process.setArguments(runnerArguments);
    if (const auto terminal = findTerminal()) {
        process.setProgram(terminal->program);
        process.setArguments(terminal->commandOption + QStringList{runner, QStringLiteral("--console")}
                             + runnerArguments);
    }
    process.setProcessEnvironment(toolEnvironment());
    if (!process.startDetached()) {
        QFile::remove(report);
        return cannotStart(QStringLiteral("\"%1\" could not be started").arg(process.program()));
    }

    m_watch->startDeadline.setRemainingTime(consoleStartSeconds * 1000);
    m_watch->reportPoll.start(reportPollMilliseconds);
    return std::nullopt;
}

bool ScriptRun::isGoing(const ToolFolder &toolFolder)
{
    const Report report = Report::read(toolFolder.runReportPath());
    if (report.locked)
        return true;
    return report.isStarting()
           && report.modified.secsTo(QDateTime::currentDateTime()) < consoleStartSeconds;
}
