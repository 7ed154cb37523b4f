#include "RecordLog.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the real batchrun program on scripts that call the recording stand-in.
class BatchRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir("tools"));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, folder.filePath("tools/rec.exe")));
        ASSERT_TRUE(QFile::copy(RECORDER_PATH, folder.filePath("tools/plain")));
    }

    // Writes the script with CR LF line ends, runs it from the temporary folder and
    // returns what batchrun printed.
    QString run(const QList<QByteArray> &lines)
    {
        QFile script(scriptPath);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        for (const QByteArray &line : lines)
            script.write(line + "\r\n");
        script.close();

        QProcess batchrun;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AMR_RECORD_LOG", logPath);
        batchrun.setProcessEnvironment(environment);
        batchrun.setWorkingDirectory(folder.path());
        batchrun.setProcessChannelMode(QProcess::MergedChannels);
        batchrun.start(BATCHRUN_PATH, {scriptPath});
        EXPECT_TRUE(batchrun.waitForFinished(30000));
        EXPECT_EQ(batchrun.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(batchrun.exitCode(), 0);
        return QString::fromLocal8Bit(batchrun.readAll());
    }

    QList<RecordedRun> runs() const { return readRecordLog(logPath); }

    QTemporaryDir folder;
    const QString scriptPath = folder.filePath("WAV2AMR.bat");
    const QString logPath = folder.filePath("record.log");
};

} // namespace

TEST_F(BatchRunnerTest, HandsEachProgramItsExactArgumentsInTheFolderCdLeaves)
{
    run({"\"tools/rec.exe\" -m -o wave:\"/a b/temp.wav\" \"/m/100%% hits.mp3\"",
         "cd \"" + QFile::encodeName(folder.filePath("tools")) + "\"",
         "\"plain\" wav2amr \"temp.wav\" \"\" MR74"});

    const QList<RecordedRun> recorded = runs();
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[0].arguments,
              QStringList({"tools/rec.exe", "-m", "-o", "wave:/a b/temp.wav", "/m/100% hits.mp3"}));
    EXPECT_EQ(QDir(recorded[0].folder), QDir(folder.path()));
    EXPECT_EQ(recorded[1].arguments, QStringList({"plain", "wav2amr", "temp.wav", "", "MR74"}));
    EXPECT_EQ(QDir(recorded[1].folder), QDir(folder.filePath("tools")));
}

TEST_F(BatchRunnerTest, FindsAProgramNamedWithoutItsExeExtension)
{
    run({"tools/rec first", "cd tools", "rec second"});
    const QList<RecordedRun> recorded = runs();
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[0].arguments, QStringList({"tools/rec", "first"}));
    EXPECT_EQ(recorded[1].arguments, QStringList({"rec", "second"}));
}

TEST_F(BatchRunnerTest, ReportsAndSkipsAnUnknownCommand)
{
    const QString output = run({"warning", "tools/plain after"});
    EXPECT_TRUE(output.contains("'warning' is not recognized")) << output.toStdString();
    ASSERT_EQ(runs().size(), 1);
    EXPECT_EQ(runs()[0].arguments, QStringList({"tools/plain", "after"}));
}

TEST_F(BatchRunnerTest, GoesOnAfterAFailingProgramOrFolderChange)
{
    const QString output = run({"/bin/false", "cd \"no such folder\"", "tools/plain still"});
    EXPECT_TRUE(output.contains("no such folder")) << output.toStdString();
    ASSERT_EQ(runs().size(), 1);
    EXPECT_EQ(QDir(runs()[0].folder), QDir(folder.path()));
}

TEST_F(BatchRunnerTest, ExitEndsTheRun)
{
    run({"tools/plain before", "EXIT", "tools/plain after"});
    ASSERT_EQ(runs().size(), 1);
    EXPECT_EQ(runs()[0].arguments, QStringList({"tools/plain", "before"}));
}

TEST_F(BatchRunnerTest, RunsTheScriptAsItWasWhenItStarted)
{
    // The first line rewrites the script, as the next conversion would while this one runs.
    run({"/bin/sh -c \"printf 'exit\\r\\n' > WAV2AMR.bat\"", "tools/plain original"});
    ASSERT_EQ(runs().size(), 1);
    EXPECT_EQ(runs()[0].arguments, QStringList({"tools/plain", "original"}));
}

TEST(BatchRunner, AnUnreadableScriptFailsWithAMessage)
{
    QProcess batchrun;
    batchrun.setProcessChannelMode(QProcess::MergedChannels);
    batchrun.start(BATCHRUN_PATH, {"/no/such/script.bat"});
    ASSERT_TRUE(batchrun.waitForFinished(30000));
    EXPECT_NE(batchrun.exitCode(), 0);
    EXPECT_TRUE(batchrun.readAll().contains("/no/such/script.bat"));
}
