#include "NoDisplay.h"
#include "RecordLog.h"
#include "ScriptLauncher.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ScriptLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(QDir(appDir.path()).mkdir("amr"));
    }

    void installTools()
    {
        ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.decoderPath()));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.encoderPath()));
    }

    QTemporaryDir appDir;
    ToolFolder tools{appDir.path(), u'/'};
    NoDisplay noDisplay;
};

} // namespace

TEST_F(ScriptLauncherTest, AMissingScriptIsReportedByName)
{
    installTools();
    const Status status = RunBatchFile(tools);
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptPath())) << status->message.toStdString();
}

TEST_F(ScriptLauncherTest, AMissingScriptRunnerIsReportedByName)
{
    ASSERT_EQ(WriteBatchFile(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    const Status status = RunBatchFile(tools);
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptRunnerPath())) << status->message.toStdString();
}

TEST_F(ScriptLauncherTest, TheStartedScriptCallsBothToolsWithTheArgumentsItsLinesGive)
{
    installTools();
    const QString log = appDir.filePath("record.log");
    qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
    const ConversionRequest request{"/m/My Music/100% hits.mp3", "", "10.2"};
    ASSERT_EQ(WriteBatchFile(tools, request), std::nullopt);

    ASSERT_EQ(RunBatchFile(tools), std::nullopt);

    const QList<RecordedRun> runs = waitForRecordedRuns(log, 2);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].arguments,
              QStringList({tools.decoderPath(), "-m", "-R", "8000", "-b", "16",
                           "-o", "wave:" + tools.wavPath(), request.inputPath}));
    EXPECT_EQ(runs[1].arguments,
              QStringList({tools.encoderPath(), "wav2amr", tools.wavPath(), "", "MR102"}));
    EXPECT_EQ(QDir(runs[1].folder).canonicalPath(), QDir(tools.path()).canonicalPath());
    qunsetenv("AMR_RECORD_LOG");
}

TEST_F(ScriptLauncherTest, ReturnsWhileTheScriptIsStillRunning)
{
    installTools();
    const QString log = appDir.filePath("record.log");
    const QString go = appDir.filePath("go");
    qputenv("AMR_RECORD_LOG", QFile::encodeName(log));
    // The decoder waits until the test lets it go, so the script cannot have ended when
    // the launcher returns unless the launcher waited for it.
    QFile decoder(tools.decoderPath());
    ASSERT_TRUE(decoder.remove());
    ASSERT_TRUE(decoder.open(QIODevice::WriteOnly));
    decoder.write("#!/bin/sh\nfor i in $(seq 600); do [ -e '" + QFile::encodeName(go)
                  + "' ] && break; sleep 0.05; done\nexec '" + RECORDER_PATH + "' \"$@\"\n");
    decoder.close();
    decoder.setPermissions(decoder.permissions() | QFile::ExeOwner);
    ASSERT_EQ(WriteBatchFile(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);

    ASSERT_EQ(RunBatchFile(tools), std::nullopt);
    EXPECT_TRUE(readRecordLog(log).isEmpty());

    QFile(go).open(QIODevice::WriteOnly);
    EXPECT_EQ(waitForRecordedRuns(log, 2).size(), 2);
    qunsetenv("AMR_RECORD_LOG");
}
