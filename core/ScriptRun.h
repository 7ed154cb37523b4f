#pragma once

#include "Result.h"
#include "ToolFolder.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QProcess;

// How a run of the conversion script ended.
struct RunEnd {
    enum class Kind {
        Completed, // every line ran; nothing is known of the programs' success
        Failed,    // the runner says a program failed
        Stopped,   // the console was closed or interrupted before the script ended
    };
    Kind kind = Kind::Completed;
    // What failed, in a few words, where the runner says ("madplay.exe ended with status 1").
    QString failure;
    // The failure stands in the run's console window, which stays open for the user.
    bool shownInConsole = false;
};

// One run of the tool folder's conversion script in a console window of its own. It
// returns from start() at once and emits ended() once the script has ended, so the next
// conversion can wait for it without blocking the program.
//
// On Windows the command interpreter runs the script in a new console; the run ends
// when the interpreter does. Elsewhere the script runner beside the program runs it
// inside a terminal emulator ($TERMINAL, x-terminal-emulator, then common terminals), or
// without a window when there is no display or no terminal, and tells through its run
// report how the run went: terminal emulators may hand their command to a server and
// return before it ends.
class ScriptRun : public QObject {
    Q_OBJECT

public:
    explicit ScriptRun(ToolFolder toolFolder, QObject *parent = nullptr);

    // Starts the script; a failure names what is missing or could not be started.
    Status start();

signals:
    void ended(const RunEnd &end);

private:
#ifdef _WIN32
    QProcess *m_interpreter = nullptr;
#else
    void checkReport();

    bool m_inConsole = false;
    QDeadlineTimer m_startDeadline;
    QTimer m_reportPoll;
#endif
    ToolFolder m_toolFolder;
};
