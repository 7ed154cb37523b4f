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
#ifndef _WIN32
        ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
#endif
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.decoderPath()));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, tools.encoderFilePath()));
    }

    QTemporaryDir appDir;
    ToolFolder tools{QDir::toNativeSeparators(appDir.path())};
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

#ifndef _WIN32
TEST_F(ScriptLauncherTest, AMissingScriptRunnerIsReportedByName)
{
    ASSERT_EQ(WriteBatchFile(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);
    const Status status = RunBatchFile(tools);
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptRunnerPath())) << status->message.toStdString();
}
#endif

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
    // The tools wait until the test lets them go, so the script cannot have ended when
    // the launcher returns unless the launcher waited for it.
    qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go));
    ASSERT_EQ(WriteBatchFile(tools, {"/m/a.mp3", "/m/a.amr", "7.4"}), std::nullopt);

    ASSERT_EQ(RunBatchFile(tools), std::nullopt);
    EXPECT_TRUE(readRecordLog(log).isEmpty());

    QFile(go).open(QIODevice::WriteOnly);
    EXPECT_EQ(waitForRecordedRuns(log, 2).size(), 2);
    qunsetenv("AMR_RECORD_WAIT_FOR");
    qunsetenv("AMR_RECORD_LOG");
}
