// The conversion queue runs one conversion at a time, in order, on fresh intermediate
// files, and takes turns with other copies of the program on the same tool folder.

#include "ConversionQueue.h"
#include "RecordLog.h"
#include "TestInstallation.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// An installation whose tools pass the "audio" through as it is, so each output shows
// which input it came from; they wait while decoding is held.
class ConversionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && music.isValid() && installation.addScriptRunner()
                    && installation.addStandIns());
        qputenv("AMR_RECORD_PASS_THROUGH", "1");
        qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
    }
    void TearDown() override
    {
        for (const char *variable : {"AMR_RECORD_PASS_THROUGH", "AMR_RECORD_LOG", "AMR_RECORD_WAIT_FOR", "AMR_RECORD_FAIL"})
            qunsetenv(variable);
    }

    // An input file holding its own name.
    QString song(const QString &name)
    {
        const QString path = QDir::toNativeSeparators(music.filePath(name + ".mp3"));
        writeFile(path, name.toUtf8());
        return path;
    }

    Status convert(ConversionQueue &queue, const QString &input)
    {
        return queue.convert({input, QString(input).replace(".mp3", ".amr"), "7.4"}, music.path());
    }

    // Until released, each tool waits once it has started (and recorded its start).
    void holdTheTools() { qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go)); }
    void releaseTheTools() { QFile(go).open(QIODevice::WriteOnly); }
    void waitUntilStarted(const QString &input)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QList<RecordedRun> runs = readRecordLog(log);
            return std::any_of(runs.begin(), runs.end(),
                               [&](const RecordedRun &run) { return run.arguments.contains(input); });
        }, 30000));
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    QTemporaryDir music;
    const QString log = installation.filePath("record.log");
    const QString go = installation.filePath("go");
};

} // namespace

TEST_F(ConversionQueueTest, RunsOneConversionAtATimeInTheOrderAsked)
{
    ConversionQueue queue(tools);
    QStringList events;
    QObject::connect(&queue, &ConversionQueue::scriptWritten, [&](const ConversionRequest &request) {
        events.append("written " + QFileInfo(request.inputPath).baseName());
    });
    QObject::connect(&queue, &ConversionQueue::finished, [&](const ConversionRequest &request, const ConversionOutcome &outcome) {
        events.append("ended " + QFileInfo(request.inputPath).baseName() + (outcome.made ? "" : " unmade"));
    });
    QSignalSpy idle(&queue, &ConversionQueue::idle);

    holdTheTools();
    const QStringList names{"first", "second", "third"};
    for (const QString &name : names)
        ASSERT_EQ(convert(queue, song(name)), std::nullopt);
    // While the first conversion is held in its decoding step, the others wait and
    // their scripts are not written.
    waitUntilStarted(song("first"));
    EXPECT_EQ(queue.waiting(), 2);
    EXPECT_EQ(events, QStringList{"written first"});
    EXPECT_FALSE(queue.isIdle());

    releaseTheTools();
    ASSERT_TRUE(idle.wait(60000));
    EXPECT_EQ(events, QStringList({"written first", "ended first", "written second", "ended second",
                                   "written third", "ended third"}));
    for (const QString &name : names)
        EXPECT_EQ(contentsOf(music.filePath(name + ".amr")), name.toUtf8());
    EXPECT_TRUE(queue.isIdle());
    EXPECT_FALSE(QFile::exists(tools.lockPath())) << "the lock goes with the last run";
}

TEST_F(ConversionQueueTest, AFailedDecodingNeverLeavesTheEncoderAnOlderSong)
{
    ConversionQueue queue(tools);
    QSignalSpy finished(&queue, &ConversionQueue::finished);
    ASSERT_EQ(convert(queue, song("old")), std::nullopt);
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(QFile::exists(tools.wavPath()));

    // The decoder stops before writing anything, as on a usage error or a missing file.
    qputenv("AMR_RECORD_FAIL", "madplay.exe");
    const QString newSong = song("new");
    ASSERT_EQ(convert(queue, newSong), std::nullopt);
    ASSERT_TRUE(finished.wait(60000));
    const auto outcome = finished.last().at(1).value<ConversionOutcome>();
    EXPECT_FALSE(outcome.made);
    const QString newAmr = QString(newSong).replace(".mp3", ".amr");
    EXPECT_FALSE(QFile::exists(newAmr));
    EXPECT_TRUE(outcome.message.contains("did not make \"" + newAmr + "\"")) << outcome.message.toStdString();
#ifndef _WIN32
    EXPECT_TRUE(outcome.message.contains("madplay.exe ended with status 2")) << outcome.message.toStdString();
#endif
}

TEST_F(ConversionQueueTest, TwoCopiesOfTheProgramOnOneToolFolderTakeTurns)
{
    ConversionQueue mine(tools);
    ConversionQueue theirs(tools);
    QSignalSpy theirsWritten(&theirs, &ConversionQueue::scriptWritten);
    QSignalSpy theirsIdle(&theirs, &ConversionQueue::idle);
    QSignalSpy mineFinished(&mine, &ConversionQueue::finished);

    holdTheTools();
    ASSERT_EQ(convert(mine, song("mine")), std::nullopt);
    waitUntilStarted(song("mine"));
    ASSERT_EQ(convert(theirs, song("theirs")), std::nullopt);
    QTest::qWait(1200);
    EXPECT_TRUE(theirsWritten.isEmpty()) << "the script in use was rewritten";

    releaseTheTools();
    ASSERT_TRUE(theirsIdle.wait(60000));
    ASSERT_EQ(mineFinished.size(), 1);
    EXPECT_EQ(contentsOf(music.filePath("mine.amr")), "mine");
    EXPECT_EQ(contentsOf(music.filePath("theirs.amr")), "theirs");
}

TEST_F(ConversionQueueTest, ARunThatOutlivesItsProgramKeepsTheNextOneWaiting)
{
    holdTheTools();
    const QString orphan = song("orphan");
    QProcess program;
    program.start(QUEUE_HOST_PATH, {tools.applicationDirectory(), orphan, music.filePath("orphan.amr")});
    waitUntilStarted(orphan);
    program.kill();
    ASSERT_TRUE(program.waitForFinished(30000));

    // Its lock went with it, but its run goes on, and uses the intermediate file.
    ConversionQueue queue(tools);
    QSignalSpy written(&queue, &ConversionQueue::scriptWritten);
    ASSERT_EQ(convert(queue, song("next")), std::nullopt);
    QTest::qWait(1200);
    EXPECT_TRUE(written.isEmpty()) << "the next run started beside the one left behind";

    releaseTheTools();
    QSignalSpy idle(&queue, &ConversionQueue::idle);
    ASSERT_TRUE(idle.wait(60000));
    EXPECT_EQ(contentsOf(music.filePath("orphan.amr")), "orphan");
    EXPECT_EQ(contentsOf(music.filePath("next.amr")), "next");
}

// (That the script alone is written without a run is the main window's test's.)
TEST_F(ConversionQueueTest, WritingTheScriptAloneIsRefusedWhileAConversionRuns)
{
    ConversionQueue queue(tools);
    const QString input = song("alone");
    holdTheTools();
    ASSERT_EQ(convert(queue, input), std::nullopt);
    const Status refused = queue.writeScript({input, "other.amr", "7.4"}, music.path());
    ASSERT_NE(refused, std::nullopt);
    EXPECT_TRUE(refused->message.contains("still running")) << refused->message.toStdString();
    releaseTheTools();
    QSignalSpy idle(&queue, &ConversionQueue::idle);
    ASSERT_TRUE(idle.wait(60000));
}
