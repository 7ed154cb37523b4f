// A run of the conversion script: it starts at once, calls both tools as the script's
// lines say, and tells when and how it ended.

#include "NoDisplay.h"
#include "RecordLog.h"
#include "ScriptRun.h"
#include "ScriptWriter.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ScriptRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid());
        ASSERT_TRUE(installation.addScriptRunner());
        ASSERT_TRUE(installation.addStandIns());
        qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
    }
    void TearDown() override
    {
        for (const char *variable : {"AMR_RECORD_LOG", "AMR_RECORD_EXIT", "AMR_RECORD_WAIT_FOR"})
            qunsetenv(variable);
    }

    // Starts a run and waits for its end.
    RunEnd runToItsEnd()
    {
        ScriptRun run(tools);
        QSignalSpy ended(&run, &ScriptRun::ended);
        EXPECT_EQ(run.start(), std::nullopt);
        EXPECT_TRUE(ended.wait(60000));
        return ended.isEmpty() ? RunEnd{} : ended.first().first().value<RunEnd>();
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    const QString log = installation.filePath("record.log");
    NoDisplay noDisplay;
};

} // namespace

TEST_F(ScriptRunTest, AMissingScriptIsReportedByName)
{
    ScriptRun run(tools);
    const Status status = run.start();
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptPath())) << status->message.toStdString();
}

#ifndef _WIN32
TEST_F(ScriptRunTest, AMissingScriptRunnerIsReportedByName)
{
    ASSERT_TRUE(QFile::remove(tools.scriptRunnerPath()));
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    ScriptRun run(tools);
    const Status status = run.start();
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptRunnerPath())) << status->message.toStdString();
}
#endif

TEST_F(ScriptRunTest, TheStartedScriptCallsBothToolsWithTheArgumentsItsLinesGive)
{
    const ConversionRequest request{QDir::toNativeSeparators("/m/My Music/100% hits.mp3"), "", "10.2"};
    ASSERT_EQ(writeConversionScript(tools, request), std::nullopt);

    const RunEnd end = runToItsEnd();
    EXPECT_EQ(end.kind, RunEnd::Kind::Completed);

    const QList<RecordedRun> runs = readRecordLog(log);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].arguments,
              QStringList({tools.decoderPath(), "-m", "-R", "8000", "-b", "16",
                           "-o", "wave:" + tools.wavPath(), request.inputPath}));
    EXPECT_EQ(runs[1].arguments,
              QStringList({tools.encoderPath(), "wav2amr", tools.wavPath(), "", "MR102"}));
    EXPECT_EQ(QDir(runs[1].folder).canonicalPath(), QDir(tools.path()).canonicalPath());
}

TEST_F(ScriptRunTest, ReturnsAtOnceAndEndsOnlyWhenTheScriptHasEnded)
{
    // The tools wait until the test lets them go, so the script cannot have ended when
    // the run says so unless the run stopped watching it.
    const QString go = installation.filePath("go");
    qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go));
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);

    ScriptRun run(tools);
    QSignalSpy ended(&run, &ScriptRun::ended);
    ASSERT_EQ(run.start(), std::nullopt);
    ASSERT_EQ(waitForRecordedRuns(log, 1).size(), 1) << "the decoder has started";
    QTest::qWait(300);
    EXPECT_TRUE(ended.isEmpty());

    QFile(go).open(QIODevice::WriteOnly);
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_EQ(readRecordLog(log).size(), 2);
}

#ifndef _WIN32
// On Windows the command interpreter ends with the script and tells nothing of its lines.
TEST_F(ScriptRunTest, AFailedProgramEndsTheRunWithTheRunnersReason)
{
    qputenv("AMR_RECORD_EXIT", "1");
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    const RunEnd end = runToItsEnd();
    EXPECT_EQ(end.kind, RunEnd::Kind::Failed);
    EXPECT_EQ(end.failure, "madplay.exe ended with status 1");
}
#endif
