#pragma once

#include "ConversionRequest.h"
#include "Result.h"
#include "ToolFolder.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class ScriptRun;
struct RunEnd;

// What came of one conversion, in words for the user: the file made and its length, with
// the tools' warnings, or why no file was made, in the tools' own words where they said.
struct ConversionOutcome {
    bool made = false;
    QString message;
};

// The conversions the user asked for, run one at a time in the order asked. A request
// is checked when it is added; its script is written and started only once the run
// before it has ended and the tool folder's lock is held, so a script is never rewritten
// under a running interpreter, the intermediate WAV file is never shared, and two
// copies of the program take turns. A run that goes on after the program that started
// it was killed keeps the next one waiting too. Before each run the previous run's
// intermediate file and messages are removed, so whatever stops the decoding step, the
// encoding step fails instead of encoding an older song, and no old message is taken for
// the new run's.
class ConversionQueue : public QObject {
    Q_OBJECT

public:
    explicit ConversionQueue(ToolFolder toolFolder, QObject *parent = nullptr);
    ~ConversionQueue() override;

    const ToolFolder &toolFolder() const { return m_toolFolder; }

    // Checks the request, making relative names absolute against `workingFolder`, and
    // queues it; the failure says what is wrong with it.
    Status convert(const ConversionRequest &request, const QString &workingFolder);

    // Checks the request and writes its script without running it. Refused while a
    // conversion runs or waits, since that would rewrite a script in use.
    Status writeScript(const ConversionRequest &request, const QString &workingFolder);

    // Conversions asked for that have not started yet.
    int waiting() const { return int(m_waiting.size()); }
    bool isIdle() const { return !m_current && m_waiting.empty(); }

signals:
    void waitingChanged(int count);
    // The request's script is in the tool folder and about to start.
    void scriptWritten(const ConversionRequest &request);
    void finished(const ConversionRequest &request, const ConversionOutcome &outcome);
    // Nothing runs or waits any more.
    void idle();

private:
    // The output file as it was before its run, to tell whether the run wrote it.
    struct OutputState {
        bool exists = false;
        QDateTime modified;
        qint64 size = 0;
        static OutputState of(const QString &path);
        bool operator==(const OutputState &) const = default;
    };
    struct Conversion {
        ConversionRequest request;
        OutputState before;
        std::unique_ptr<ScriptRun> run;
    };

    Result<ConversionRequest> checked(const ConversionRequest &request,
                                      const QString &workingFolder) const;
    void startNext();
    enum class ToolFolderLock { Taken, Busy, Failed };
    // Takes the tool folder for a run. Busy while another copy of the program, or a run
    // that a closed or killed copy left behind, converts with it.
    ToolFolderLock lockToolFolder();
    Status start(Conversion &conversion);
    void end(const RunEnd &runEnd);
    ConversionOutcome outcomeOf(const ConversionRequest &request, const RunEnd &runEnd) const;
    void finish(const ConversionOutcome &outcome);
    Failure lockFailure(ToolFolderLock lock) const;

    ToolFolder m_toolFolder;
    QLockFile m_lock;
    QTimer m_lockRetry;
    std::deque<ConversionRequest> m_waiting;
    std::unique_ptr<Conversion> m_current;
};
