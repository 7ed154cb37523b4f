#pragma once

#include "Result.h"
#include "ToolFolder.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>

#include <memory>

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
};

// One run of the tool folder's conversion script in a console window of its own. It
// returns from start() at once and emits ended() once the script has ended, so the next
// conversion can wait for it without blocking the program. The tools it runs write their
// lines about the run to the tool folder's messages file (ToolFolder::toolMessagesPath),
// which the environment variable AMR_TOOL_MESSAGES names to them.
//
// On Windows the command interpreter runs the script in a new console; the run ends
// when the interpreter does. Elsewhere the script runner beside the program runs it
// inside a terminal emulator ($TERMINAL, x-terminal-emulator, then common terminals), or
// without a window when there is no display or no terminal, and tells through its run
// report how the run went: terminal emulators may hand their command to a server and
// return before it ends. Each platform's part is in its own file.
class ScriptRun : public QObject {
    Q_OBJECT

public:
    explicit ScriptRun(ToolFolder toolFolder, QObject *parent = nullptr);
    ~ScriptRun() override;

    // Starts the script; a failure names what is missing or could not be started.
    Status start();

    // Whether a run of the tool folder's script goes on, whichever program started it:
    // a run outlives a program that is killed, and the next run must wait for it, since
    // both would use the same intermediate file.
    static bool isGoing(const ToolFolder &toolFolder);

signals:
    void ended(const RunEnd &end);

private:
    // What the platform watches to learn that the run has ended.
    class Watch;

    static Failure cannotStart(const QString &reason);
    // The program's environment, with the tools' messages file.
    QProcessEnvironment toolEnvironment() const;

    ToolFolder m_toolFolder;
    std::unique_ptr<Watch> m_watch;
};
