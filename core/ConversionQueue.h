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

// What came of one conversion.
struct ConversionOutcome {
    bool made = false;
    // Why not, in words for the user.
    QString failure;
    // The reason already stands in the run's console window, which stays open.
    bool shownInConsole = false;
};

// The conversions the user asked for, run one at a time in the order asked. A request
// is checked when it is added; its script is written and started only once the run
// before it has ended and the tool folder's lock is held, so a script is never rewritten
// under a running interpreter, the intermediate WAV file is never shared, and two
// copies of the program take turns. Before each run the previous intermediate file is
// removed, so whatever stops the decoding step, the encoding step fails instead of
// encoding an older song.
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
    Status start(Conversion &conversion);
    void end(const RunEnd &runEnd);
    void finish(const ConversionOutcome &outcome);
    Status lockFailure() const;

    ToolFolder m_toolFolder;
    QLockFile m_lock;
    QTimer m_lockRetry;
    std::deque<ConversionRequest> m_waiting;
    std::unique_ptr<Conversion> m_current;
};
