// What the decoder and the encoder leave behind when the run goes wrong around them.
// (OutputFileTest takes long output names to the system's limit.)

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

// The ways a tool is stopped from outside, and their signals: as when its terminal closes
// (SIGHUP), by Ctrl+C (SIGINT) or by kill (SIGTERM). On Windows, Ctrl+C in the console of
// its own that it runs in, as the command interpreter's; closing that console sends
// another event to the same handler, which a test cannot send without a window.
#ifdef _WIN32
const std::pair<const char *, int> stops[] = {{"Ctrl+C", 0}};
#else
const std::pair<const char *, int> stops[] = {{"SIGHUP", SIGHUP}, {"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}};
#endif

void startInItsOwnConsole(QProcess &run, const QString &program, const QStringList &arguments)
{
#ifdef _WIN32
    run.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *process) {
        process->flags |= CREATE_NEW_CONSOLE;
    });
#endif
    run.start(program, arguments);
}

// Stops the tool and waits for its end; whether the stop ended it. (Windows ends it with
// the status STATUS_CONTROL_C_EXIT, Wine with 0: there the files left behind tell.)
bool stop(QProcess &run, [[maybe_unused]] int signalNumber)
{
#ifdef _WIN32
    return QProcess::execute(QStringLiteral(CONSOLE_STOP_PATH), {QString::number(run.processId())}) == 0
           && run.waitForFinished(120000);
#else
    kill(static_cast<pid_t>(run.processId()), signalNumber);
    return run.waitForFinished(120000) && run.exitStatus() == QProcess::CrashExit && run.exitCode() == signalNumber;
#endif
}

// The tools' inputs in a folder of their own, their outputs in the test's folder.
class ToolSafetyTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        ASSERT_TRUE(inputs.isValid());
    }

    // Each tool's command line on an input that takes long to convert, into wav and amr.
    // The decoder's: an hour of MP3 frames. The encoder's: 37 hours of silence in a sparse
    // file that takes no disk space, its WAV sizes left out as a pipe leaves them, so that
    // the file's end ends the audio.
    std::vector<std::pair<QString, QStringList>> longRuns()
    {
        const QString mp3 = inputs.filePath("long.mp3");
        writeFile(mp3, contentsOf(fixtureFile("mpeg25-mono-11k.mp3")).repeated(2400));
        const QString silence = inputs.filePath("long.wav");
        writePcm(silence, {});
        writeFile(silence, contentsOf(silence).replace(4, 4, "\xFF\xFF\xFF\xFF").replace(40, 4, "\xFF\xFF\xFF\xFF"));
        EXPECT_TRUE(QFile::resize(silence, 44 + 0x7FFF0000));
        return {{DECODER_PATH, decoderArguments(wav, mp3)}, {ENCODER_PATH, {"wav2amr", silence, amr, "MR122"}}};
    }

    // The hidden files in the outputs' folder, such as the tools' temporary files.
    QStringList hiddenOutputs() const { return filesIn(folder.path()).filter(QRegularExpression("^\\.")); }

    // Whether the started `run` came to write its temporary file before it ended: one
    // more than `hidden` hidden files.
    bool cameToWrite(QProcess &run, qsizetype hidden = 0) const
    {
        while (hiddenOutputs().size() <= hidden) {
            if (run.waitForFinished(1))
                return false;
        }
        return true;
    }

    QTemporaryDir inputs;
};

} // namespace

TEST_F(ToolSafetyTest, StoppedFromOutsideTheyLeaveNoTemporaryFileAndThePreviousOutput)
{
    for (const auto &[program, arguments] : longRuns()) {
        for (const auto &[stopName, signalNumber] : stops) {
            SCOPED_TRACE(QFileInfo(program).fileName().toStdString() + " stopped by " + stopName);
            writeFile(wav, "the previous conversion's audio");
            writeFile(amr, "the previous ringtone");

            QProcess run;
            startInItsOwnConsole(run, program, arguments);
            ASSERT_TRUE(run.waitForStarted());
            ASSERT_TRUE(cameToWrite(run)) << "the tool ended before it could be stopped; it needs a longer input";
            EXPECT_TRUE(stop(run, signalNumber));

            EXPECT_EQ(filesIn(folder.path()), QStringList({"ring.amr", "temp.wav"}));
            EXPECT_EQ(contentsOf(wav), "the previous conversion's audio");
            EXPECT_EQ(contentsOf(amr), "the previous ringtone");
        }
    }
}

TEST_F(ToolSafetyTest, KilledTheyLeaveTemporaryFilesThatTheNextRunForTheSameOutputRemoves)
{
    // A kill that no handler sees (SIGKILL; on Windows TerminateProcess), as a power cut.
    QString killed;
    for (const auto &[program, arguments] : longRuns()) {
        QProcess run;
        run.start(program, arguments);
        ASSERT_TRUE(run.waitForStarted());
        ASSERT_TRUE(cameToWrite(run, hiddenOutputs().size())) << "the tool ended before it could be killed";
        killed = QString::number(run.processId());
        run.kill();
        ASSERT_TRUE(run.waitForFinished(120000));
    }
    ASSERT_EQ(hiddenOutputs().size(), 2);

    // What is not such a file stays: an earlier version's name without a process id, a
    // running process's file (this test's), a name of another shape, another output's.
    const QString running = QString::number(QCoreApplication::applicationPid());
    QStringList others{".temp.wav.AbC123", ".temp.wav." + running + ".AbC123", ".temp.wav." + killed + ".notes",
                       ".song.wav." + killed + ".AbC123", ".ring.amr." + killed + ".AbC12"};
    for (const QString &other : others)
        writeFile(folder.filePath(other), "a user's file");

    EXPECT_EQ(runDecoder(wav, fixtureFile("vbr-48k.mp3")).exitCode, 0);
    EXPECT_EQ(runTool(ENCODER_PATH, {"wav2amr", wav, amr, "MR74"}).exitCode, 0);
    others << "ring.amr" << "temp.wav";
    others.sort();
    EXPECT_EQ(filesIn(folder.path()), others);
}

TEST_F(ToolSafetyTest, AWrongCommandLineGetsTheUsageAndLeavesEveryFileAsItWas)
{
    // The decoder's options come in any order, and an input named like an option is the
    // input when it comes last.
    ASSERT_TRUE(QFile::copy(fixtureFile("vbr-48k.mp3"), inputs.filePath("-song.mp3")));
    const auto inInputs = [&](const QString &program, const QStringList &arguments) {
        return runTool(program, arguments, QProcessEnvironment::systemEnvironment(), inputs.path());
    };
    const QString out = "wave:" + wav;
    const ToolRun run = inInputs(DECODER_PATH, decoderArguments(wav, "-song.mp3"));
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_EQ(readPcm(wav).size(), 12000u);
    const QByteArray decoded = contentsOf(wav);
    const QString mp3 = fixtureFile("vbr-48k.mp3");
    EXPECT_EQ(inInputs(DECODER_PATH, {mp3, "-o", out, "-b", "16", "-R", "8000", "-m"}).exitCode, 0);
    EXPECT_EQ(contentsOf(wav), decoded);

    // A wrong line cannot say what was meant as the output: even the audio that a failed
    // decoding would remove stays.
    writeFile(amr, "the previous ringtone");
    const std::pair<QString, QStringList> wrongLines[] = {
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-o", out, ""}}, // an emptied input box
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-o"}},
        {DECODER_PATH, {"-R", "8000", "-b", "16", "-o", out, mp3}},
        {DECODER_PATH, {"-m", "-m", "-R", "8000", "-b", "16", "-o", out, mp3}},
        {DECODER_PATH, {"-o", out, "-m", "-R", "44100", "-b", "16", "-song.mp3"}},
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "8", "-o", out, mp3}},
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-o", wav, mp3}},
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-o", out, mp3, mp3}},
        {DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-q", "-o", out, "-song.mp3"}},
        // An option stays an option in the last place.
        {DECODER_PATH, {"-song.mp3", "-o", out, "-b", "16", "-R", "8000", "-m"}},
        {ENCODER_PATH, {}},
        {ENCODER_PATH, {"wav2amr", wav, amr}},
        {ENCODER_PATH, {"wav2amr", wav, amr, "mr74"}},
        {ENCODER_PATH, {"encode", wav, amr, "MR74"}},
    };
    for (const auto &[program, arguments] : wrongLines) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun wrong = inInputs(program, arguments);
        EXPECT_EQ(wrong.exitCode, 2);
        const QString usage = program == DECODER_PATH ? "madplay.exe: usage: madplay.exe -m -R 8000 -b 16 -o wave:"
                                                      : "converter: usage: converter wav2amr IN.wav OUT.amr MODE";
        EXPECT_TRUE(wrong.errorOutput.startsWith(usage)) << wrong.errorOutput.toStdString();
        EXPECT_EQ(contentsOf(wav), decoded);
        EXPECT_EQ(contentsOf(amr), "the previous ringtone");
    }
    EXPECT_EQ(contentsOf(inputs.filePath("-song.mp3")), contentsOf(mp3));
}

TEST_F(ToolSafetyTest, AnOutputThatIsTheInputFileIsRefusedAndTheInputKept)
{
    // Letters of several scripts at once, which no 8-bit code page holds: the names must
    // reach the file system as they are, through both tools and both ways.
    const QString name = QStringLiteral("M\u00fasica \u4e2d\u6587 \u266a");
    const QString song = inputs.filePath(name + ".mp3");
    const QString decoded = inputs.filePath(name + ".wav");
    const QString ringtone = inputs.filePath(name + ".amr");
    ASSERT_TRUE(QFile::copy(fixtureFile("vbr-48k.mp3"), song));
    ASSERT_EQ(runDecoder(decoded, song).exitCode, 0);
    ASSERT_EQ(runTool(ENCODER_PATH, {"wav2amr", decoded, ringtone, "MR74"}).exitCode, 0);
    const QString back = folder.filePath(name + " back.wav");
    ASSERT_EQ(runTool(ENCODER_PATH, {"amr2wav", ringtone, back}).exitCode, 0);
    EXPECT_EQ(readPcm(back).size(), 12000u);
    const QStringList inputFiles = filesIn(inputs.path());

    // Each input reached by its own name and a hard link; elsewhere by a symbolic link
    // too, on Windows by its name in capitals, which names the same file there.
    const auto sameFiles = [&](const QString &input) {
        const QString hard = folder.filePath("hard-" + QFileInfo(input).fileName());
        std::filesystem::create_hard_link(input.toStdU16String(), hard.toStdU16String());
#ifdef _WIN32
        return QStringList{input, hard, inputs.filePath(QFileInfo(input).fileName().toUpper())};
#else
        const QString symbolic = folder.filePath("symbolic-" + QFileInfo(input).fileName());
        EXPECT_TRUE(QFile::link(input, symbolic));
        return QStringList{input, symbolic, hard};
#endif
    };
    // Each tool's line on each input, <out> standing for the output.
    const std::tuple<QString, QString, QStringList> lines[] = {
        {DECODER_PATH, song, decoderArguments("<out>", song)},
        {ENCODER_PATH, decoded, {"wav2amr", decoded, "<out>", "MR74"}},
        {ENCODER_PATH, ringtone, {"amr2wav", ringtone, "<out>"}},
    };
    for (const auto &[program, input, line] : lines) {
        const QByteArray before = contentsOf(input);
        for (const QString &output : sameFiles(input)) {
            SCOPED_TRACE(output.toStdString());
            const ToolRun run = runTool(program, QStringList(line).replaceInStrings("<out>", output));
            EXPECT_EQ(run.exitCode, 1);
            ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
            EXPECT_TRUE(run.errorOutput.contains(output + ": the output would overwrite the input file"))
                << run.errorOutput.toStdString();
            EXPECT_EQ(contentsOf(input), before);
            EXPECT_TRUE(QFile::exists(output));
        }
    }
    EXPECT_EQ(filesIn(inputs.path()), inputFiles);
}
