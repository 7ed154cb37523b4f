#include "ConversionQueue.h"

#include "BitRateModes.h"
#include "ConversionScript.h"
#include "RequestCheck.h"
#include "ScriptRun.h"
#include "ScriptWriter.h"
#include "ToolMessages.h"

#include <QFile>
#include <QFileInfo>

namespace {

// How often to look again while another copy of the program converts.
constexpr int lockRetryMilliseconds = 500;

// A tool's line as the end of a sentence: with a full stop, unless it ends in a question
// ("... (is it a music or video file?)").
QString sentence(const QString &text)
{
    return text.endsWith(u'?') || text.endsWith(QStringLiteral("?)")) ? text : text + u'.';
}

// "12.3 seconds", "2 min 5.0 s".
QString lengthText(double seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1 seconds").arg(seconds, 0, 'f', 1);
    const int minutes = int(seconds / 60);
    return QStringLiteral("%1 min %2 s").arg(minutes).arg(seconds - minutes * 60, 0, 'f', 1);
}

} // namespace

ConversionQueue::OutputState ConversionQueue::OutputState::of(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {true, file.lastModified(), file.size()};
}

ConversionQueue::ConversionQueue(ToolFolder toolFolder, QObject *parent)
    : QObject(parent), m_toolFolder(std::move(toolFolder)), m_lock(m_toolFolder.lockPath())
{
    // A run may take longer than any fixed age; a lock is stale only when the program
    // holding it is gone.
    m_lock.setStaleLockTime(0);
    m_lockRetry.setSingleShot(true);
    connect(&m_lockRetry, &QTimer::timeout, this, &ConversionQueue::startNext);
}

ConversionQueue::~ConversionQueue() = default;

Result<ConversionRequest> ConversionQueue::checked(const ConversionRequest &request,
                                                   const QString &workingFolder) const
{
    Result<ConversionRequest> resolved = checkedRequest(request, workingFolder);
    if (!resolved.ok())
        return resolved;
    // Paths the script cannot carry are refused now rather than when their turn comes.
    const Result<QByteArray> script = ConversionScript::text(m_toolFolder, resolved.value());
    if (!script.ok())
        return script.error();
    return resolved;
}

Status ConversionQueue::convert(const ConversionRequest &request, const QString &workingFolder)
{
    const Result<ConversionRequest> resolved = checked(request, workingFolder);
    if (!resolved.ok())
        return resolved.error();
    m_waiting.push_back(resolved.value());
    emit waitingChanged(waiting());
    startNext();
    return std::nullopt;
}

Status ConversionQueue::writeScript(const ConversionRequest &request, const QString &workingFolder)
{
    const Result<ConversionRequest> resolved = checked(request, workingFolder);
    if (!resolved.ok())
        return resolved.error();
    if (!isIdle()) {
        return Failure{QStringLiteral("A conversion is still running or waiting. Write the "
                                      "script once it has ended.")};
    }
    if (const ToolFolderLock lock = lockToolFolder(); lock != ToolFolderLock::Taken)
        return lockFailure(lock);
    const Status written = writeConversionScript(m_toolFolder, resolved.value());
    m_lock.unlock();
    return written;
}

ConversionQueue::ToolFolderLock ConversionQueue::lockToolFolder()
{
    if (!m_lock.tryLock(0))
        return m_lock.error() == QLockFile::LockFailedError ? ToolFolderLock::Busy : ToolFolderLock::Failed;
    if (!ScriptRun::isGoing(m_toolFolder))
        return ToolFolderLock::Taken;
    m_lock.unlock();
    return ToolFolderLock::Busy;
}

Failure ConversionQueue::lockFailure(ToolFolderLock lock) const
{
    if (lock == ToolFolderLock::Busy) {
        return Failure{QStringLiteral("Another conversion is running with the tool folder \"%1\", "
                                      "started by another copy of the program. Try again once it "
                                      "has ended.")
                           .arg(m_toolFolder.path())};
    }
    return Failure{QStringLiteral("Cannot lock the tool folder \"%1\": the lock file \"%2\" "
                                  "cannot be written.")
                       .arg(m_toolFolder.path(), m_toolFolder.lockPath())};
}

void ConversionQueue::startNext()
{
    if (m_current || m_waiting.empty())
        return;
    const ToolFolderLock lock = lockToolFolder();
    if (lock == ToolFolderLock::Busy) {
        // Another copy of the program converts, or a run it left behind: its turn first.
        m_lockRetry.start(lockRetryMilliseconds);
        return;
    }
    m_current = std::make_unique<Conversion>(Conversion{m_waiting.front(), {}, nullptr});
    m_waiting.pop_front();
    emit waitingChanged(waiting());
    if (lock == ToolFolderLock::Failed)
        finish({false, lockFailure(lock).message});
    else if (const Status failure = start(*m_current))
        finish({false, failure->message});
}

Status ConversionQueue::start(Conversion &conversion)
{
    for (const QString &previous : {m_toolFolder.wavPath(), m_toolFolder.toolMessagesPath()}) {
        if (QFileInfo::exists(previous) && !QFile::remove(previous)) {
            return Failure{QStringLiteral("Cannot remove the previous conversion's file \"%1\". "
                                          "Close what uses it and try again.").arg(previous)};
        }
    }
    if (const Status failure = writeConversionScript(m_toolFolder, conversion.request))
        return failure;
    emit scriptWritten(conversion.request);

    conversion.before = OutputState::of(conversion.request.outputPath);
    conversion.run = std::make_unique<ScriptRun>(m_toolFolder);
    connect(conversion.run.get(), &ScriptRun::ended, this, &ConversionQueue::end);
    return conversion.run->start();
}

void ConversionQueue::end(const RunEnd &runEnd)
{
    finish(outcomeOf(m_current->request, runEnd));
}

ConversionOutcome ConversionQueue::outcomeOf(const ConversionRequest &request, const RunEnd &runEnd) const
{
    const ToolMessages said = ToolMessages::read(m_toolFolder.toolMessagesPath());
    const OutputState after = OutputState::of(request.outputPath);
    if (after.exists && after != m_current->before) {
        QString message = QStringLiteral("Made \"%1\"").arg(request.outputPath);
        if (const auto seconds = BitRateModes::amrFileSeconds(after.size, request.rateText))
            message += QStringLiteral(", %1 long").arg(lengthText(*seconds));
        message += u'.';
        for (const QString &warning : said.warnings)
            message += QStringLiteral(" Warning: %1").arg(sentence(warning));
        return {true, message};
    }
    // The first failure is the cause; a later step's failure follows from it.
    QString reason = said.failures.value(0, runEnd.failure);
    if (reason.isEmpty()) {
        reason = QFileInfo::exists(m_toolFolder.wavPath())
                     ? QStringLiteral("the encoder could not write it")
                     : QStringLiteral("the decoder could not read \"%1\" as audio").arg(request.inputPath);
    }
    return {false, QStringLiteral("The conversion did not make \"%1\": %2")
                       .arg(request.outputPath, sentence(reason))};
}

void ConversionQueue::finish(const ConversionOutcome &outcome)
{
    const std::unique_ptr<Conversion> done = std::move(m_current);
    if (m_lock.isLocked())
        m_lock.unlock();
    // The run's object may be the sender of the signal being handled.
    if (done->run)
        done->run.release()->deleteLater();
    emit finished(done->request, outcome);
    if (isIdle())
        emit idle();
    else
        startNext();
}
