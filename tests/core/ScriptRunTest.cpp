// A run of the conversion script: it starts at once, calls both tools as the script's
// lines say, and tells when and how it ended.

#include "NoDisplay.h"
#include "RecordLog.h"
#include "ScriptRun.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ScriptRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(QDir(appDir.path()).mkdir("amr"));
        qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
    }
    void TearDown() override
    {
        qunsetenv("AMR_RECORD_LOG");
        qunsetenv("AMR_RECORD_EXIT");
    }

    void installTools()
    {
        ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.decoderPath()));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.encoderPath()));
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

    QTemporaryDir appDir;
    ToolFolder tools{appDir.path(), u'/'};
    const QString log = appDir.filePath("record.log");
    NoDisplay noDisplay;
};

} // namespace

TEST_F(ScriptRunTest, AMissingScriptOrRunnerIsReportedByName)
{
    installTools();
    ScriptRun withoutScript(tools);
    Status status = withoutScript.start();
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptPath())) << status->message.toStdString();

    ASSERT_TRUE(QFile::remove(tools.scriptRunnerPath()));
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    ScriptRun withoutRunner(tools);
    status = withoutRunner.start();
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptRunnerPath())) << status->message.toStdString();
}

TEST_F(ScriptRunTest, TheStartedScriptCallsBothToolsWithTheArgumentsItsLinesGive)
{
    installTools();
    const ConversionRequest request{"/m/My Music/100% hits.mp3", "", "10.2"};
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
    installTools();
    const QString go = appDir.filePath("go");
    // The decoder waits until the test lets it go, so the script cannot have ended when
    // the run starts unless the run waited for it.
    QFile decoder(tools.decoderPath());
    ASSERT_TRUE(decoder.remove());
    ASSERT_TRUE(decoder.open(QIODevice::WriteOnly));
    decoder.write("#!/bin/sh\nwhile [ ! -e '" + QFile::encodeName(go) + "' ]; do sleep 0.02; done\nexec '"
                  + RECORDER_PATH + "' \"$@\"\n");
    decoder.close();
    decoder.setPermissions(decoder.permissions() | QFile::ExeOwner);
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);

    ScriptRun run(tools);
    QSignalSpy ended(&run, &ScriptRun::ended);
    ASSERT_EQ(run.start(), std::nullopt);
    EXPECT_TRUE(readRecordLog(log).isEmpty());
    // Once the runner has reported in, the run is known to be going.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(tools.runReportPath()); }, 30000));
    QTest::qWait(300);
    EXPECT_TRUE(ended.isEmpty());

    QFile(go).open(QIODevice::WriteOnly);
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(readRecordLog(log).size(), 2);
}

TEST_F(ScriptRunTest, AFailedProgramEndsTheRunWithTheRunnersReason)
{
    installTools();
    qputenv("AMR_RECORD_EXIT", "1");
    ASSERT_EQ(writeConversionScript(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    const RunEnd end = runToItsEnd();
    EXPECT_EQ(end.kind, RunEnd::Kind::Failed);
    EXPECT_EQ(end.failure, "madplay.exe ended with status 1");
    EXPECT_FALSE(end.shownInConsole) << "no display, so no console window";
}
