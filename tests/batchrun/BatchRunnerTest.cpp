#include "RecordLog.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Runs the real batchrun program on scripts that call the recording stand-in.
class BatchRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir("tools"));
        ASSERT_TRUE(QFile::copy(STAND_IN_PATH, folder.filePath("tools/rec.exe")));
        ASSERT_TRUE(QFile::copy(STAND_IN_PATH, folder.filePath("tools/plain")));
    }

    void writeScript(const QList<QByteArray> &lines, const QByteArray &start = {})
    {
        writeFile(scriptPath, start + lines.join("\r\n") + "\r\n");
    }

    void startBatchrun(QProcess &batchrun, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AMR_RECORD_LOG", logPath);
        batchrun.setProcessEnvironment(environment);
        batchrun.setWorkingDirectory(folder.path());
        batchrun.setProcessChannelMode(QProcess::MergedChannels);
        batchrun.start(BATCHRUN_PATH, arguments);
    }

    QTemporaryDir folder;
    const QString scriptPath = folder.filePath("WAV2AMR.bat");
    const QString logPath = folder.filePath("record.log");
    const QString report = folder.filePath("run.report");
};

} // namespace

TEST_F(BatchRunnerTest, RunsTheLinesTheCommandInterpreterWould)
{
    const struct {
        const char *what;
        QByteArray start;
        QList<QByteArray> lines;
        QList<QStringList> expectedRuns;
        int status;
        const char *printed;
    } cases[] = {
        {"each program's exact arguments, in the folder cd leaves", {},
         {"\"tools/rec.exe\" -m -o wave:\"/a b/temp.wav\" \"/m/100%% hits.mp3\"",
          "cd \"" + QFile::encodeName(folder.filePath("tools")) + "\"", "\"plain\" wav2amr \"temp.wav\" \"/m/a b.amr\" MR74"},
         {{".", "tools/rec.exe", "-m", "-o", "wave:/a b/temp.wav", "/m/100% hits.mp3"},
          {"tools", "plain", "wav2amr", "temp.wav", "/m/a b.amr", "MR74"}}, 0, ""},
        {"an unknown command is reported and skipped", {}, {"warning", "tools/plain after"},
         {{".", "tools/plain", "after"}}, 0, "'warning' is not recognized"},
        {"exit ends the run", {}, {"tools/plain before", "EXIT", "tools/plain after"},
         {{".", "tools/plain", "before"}}, 0, ""},
        {"a byte-order mark before the first line", "\xEF\xBB\xBF", {"tools/plain first", "tools/plain second"},
         {{".", "tools/plain", "first"}, {".", "tools/plain", "second"}}, 0, ""},
        // The first line rewrites the script, as the next conversion would while this one runs.
        {"the script as it was when it started", {},
         {"/bin/sh -c \"printf 'exit\\r\\n' > WAV2AMR.bat\"", "tools/plain original"},
         {{".", "tools/plain", "original"}}, 0, ""},
        {"failures end the run with a failure, after the other lines", {},
         {"/bin/false", "cd \"no such folder\"", "tools/plain still"}, {{".", "tools/plain", "still"}}, 1,
         "no such folder"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        QFile::remove(logPath);
        writeScript(test.lines, test.start);
        QProcess batchrun;
        startBatchrun(batchrun, {scriptPath});
        ASSERT_TRUE(batchrun.waitForFinished(30000));
        EXPECT_EQ(batchrun.exitCode(), test.status);
        EXPECT_TRUE(batchrun.readAll().contains(test.printed));
        // Each run as the folder it ran in, then its arguments.
        QList<QStringList> recorded;
        for (const RecordedRun &run : readRecordLog(logPath))
            recorded.append(QStringList{QDir(folder.path()).relativeFilePath(run.folder)} + run.arguments);
        EXPECT_EQ(recorded, test.expectedRuns);
    }
}

TEST_F(BatchRunnerTest, AScriptThatIsAFolderOrMissingFailsWithOneLine)
{
    for (const QString &script : {folder.filePath("tools"), folder.filePath("no such script.bat")}) {
        QProcess batchrun;
        startBatchrun(batchrun, {script});
        ASSERT_TRUE(batchrun.waitForFinished(30000));
        EXPECT_EQ(batchrun.exitCode(), 1);
        const QStringList lines = QString::fromLocal8Bit(batchrun.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(script)) << lines[0].toStdString();
    }
}

// Whether another process holds a lock on the report, as the runner does while it runs.
bool isLocked(const QString &path)
{
    const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY);
    if (descriptor < 0)
        return false;
    const bool locked = flock(descriptor, LOCK_SH | LOCK_NB) != 0;
    close(descriptor);
    return locked;
}

TEST_F(BatchRunnerTest, InItsOwnConsoleAFailedRunStaysOpenWithTheReasonUntilEnterAndASuccessfulOneCloses)
{
    writeScript({"tools/plain fine", "/bin/false"});
    QProcess batchrun;
    startBatchrun(batchrun, {"--console", "--report", report, scriptPath});
    QByteArray output;
    while (!output.contains("Press Enter") && batchrun.waitForReadyRead(30000))
        output += batchrun.readAll();
    EXPECT_TRUE(output.contains("The conversion failed: false ended with status 1")) << output.toStdString();
    // Waiting for the user does not hold up whoever watches the report.
    EXPECT_EQ(contentsOf(report), "ended 1\nfalse ended with status 1\n");
    EXPECT_EQ(batchrun.state(), QProcess::Running);
    batchrun.write("\n");
    ASSERT_TRUE(batchrun.waitForFinished(30000));
    EXPECT_EQ(batchrun.exitCode(), 1);

    writeScript({"tools/plain fine"});
    QProcess succeeding;
    startBatchrun(succeeding, {"--console", scriptPath});
    succeeding.closeWriteChannel();
    ASSERT_TRUE(succeeding.waitForFinished(30000));
    EXPECT_EQ(succeeding.exitCode(), 0);
    EXPECT_FALSE(succeeding.readAll().contains("Press Enter"));
}

TEST_F(BatchRunnerTest, TheReportSaysRunningWhileLockedAndAStopSignalReachesTheRunningProgramAndEndsTheRun)
{
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QFile::remove(folder.filePath("ready"));
        QFile::remove(folder.filePath("got"));
        writeScript({"/bin/sh -c \"trap 'echo stopped > got; exit 3' HUP INT TERM; touch ready; "
                     "while :; do sleep 0.02; done\"",
                     "tools/plain after"});
        QProcess batchrun;
        startBatchrun(batchrun, {"--report", report, scriptPath});
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder.filePath("ready")); }, 30000));
        EXPECT_EQ(contentsOf(report), "running\n");
        EXPECT_TRUE(isLocked(report));

        ASSERT_EQ(kill(pid_t(batchrun.processId()), signal), 0);
        ASSERT_TRUE(batchrun.waitForFinished(30000));
        EXPECT_EQ(batchrun.exitStatus(), QProcess::CrashExit) << "ended by the signal";
        EXPECT_EQ(contentsOf(folder.filePath("got")), "stopped\n");
        EXPECT_EQ(contentsOf(report), "stopped\n");
        EXPECT_TRUE(readRecordLog(logPath).isEmpty()) << "no line runs after the stop";
    }
}
