// The command interpreter runs the script in a console of its own; the run ends when the
// interpreter does. The run report is held open by the run's processes for as long as
// any of them lives: the program hands its handle down to the interpreter, which hands
// it on to the tools. So a copy of the program started after this one has gone still
// finds the run going, and no run that has ended holds it.

#include "ScriptRun.h"

#include <QFileInfo>
#include <QProcess>

#include <system_error>

#include <windows.h>

class ScriptRun::Watch {
public:
    ~Watch() { releaseReport(); }

    void releaseReport()
    {
        if (report != INVALID_HANDLE_VALUE)
            CloseHandle(report);
        report = INVALID_HANDLE_VALUE;
    }

    QProcess interpreter;
    HANDLE report = INVALID_HANDLE_VALUE;
};

ScriptRun::ScriptRun(ToolFolder toolFolder, QObject *parent)
    : QObject(parent), m_toolFolder(std::move(toolFolder)), m_watch(std::make_unique<Watch>())
{
    connect(&m_watch->interpreter, &QProcess::finished, this, [this](int, QProcess::ExitStatus status) {
        m_watch->releaseReport();
        emit ended({status == QProcess::NormalExit ? RunEnd::Kind::Completed : RunEnd::Kind::Stopped, {}});
    });
}

ScriptRun::~ScriptRun() = default;

Status ScriptRun::start()
{
    const QString script = m_toolFolder.scriptPath();
    if (!QFileInfo(script).isFile())
        return cannotStart(QStringLiteral("the script \"%1\" is missing").arg(script));

    const QString report = m_toolFolder.runReportPath();
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    m_watch->report = CreateFileW(reinterpret_cast<const wchar_t *>(report.utf16()), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_watch->report == INVALID_HANDLE_VALUE) {
        return cannotStart(QStringLiteral("the run report \"%1\" cannot be written: %2")
                               .arg(report, QString::fromStdString(std::system_category().message(int(GetLastError())))));
    }

    QProcess &interpreter = m_watch->interpreter;
    // The quotes keep a folder name with blanks in one piece; without them the
    // interpreter could run a stray "C:\Program.exe".
    interpreter.setProgram(qEnvironmentVariable("ComSpec", QStringLiteral("cmd.exe")));
    interpreter.setNativeArguments(QStringLiteral("/c \"\"%1\"\"").arg(script));
    interpreter.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
        arguments->flags &= ~(DETACHED_PROCESS | CREATE_NO_WINDOW);
        arguments->flags |= CREATE_NEW_CONSOLE;
        // The console's own input and output, not the pipes QProcess made: the user reads
        // the tools' lines there.
        arguments->startupInfo->dwFlags &= ~STARTF_USESTDHANDLES;
        // The run report's handle goes down to the interpreter and its tools.
        arguments->inheritHandles = TRUE;
    });
    // The script's cd changes the folder but not the drive; started in the tool folder,
    // the tools run there wherever the program was started from.
    interpreter.setWorkingDirectory(m_toolFolder.path());
    interpreter.setProcessEnvironment(toolEnvironment());
    interpreter.start();
    if (!interpreter.waitForStarted()) {
        m_watch->releaseReport();
        return cannotStart(QStringLiteral("\"%1\" could not be started (%2)")
                               .arg(interpreter.program(), interpreter.errorString()));
    }
    return std::nullopt;
}

bool ScriptRun::isGoing(const ToolFolder &toolFolder)
{
    // Opened for this reader alone, it is refused while a run's process holds it.
    const QString path = toolFolder.runReportPath();
    const HANDLE report = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (report == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(report);
    return false;
}
