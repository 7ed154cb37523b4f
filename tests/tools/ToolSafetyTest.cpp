// What the decoder and the encoder leave behind when the run goes wrong around them:
// stopped from outside (by a signal, on Windows by Ctrl+C in their console), given an
// output name as long as the file system allows, an input whose name starts like an
// option, a wrong command line, or an output that is the input file itself.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <QProcess>

#include <windows.h>
#else
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace {

const QString decoder = QStringLiteral(DECODER_PATH);
const QString encoder = QStringLiteral(ENCODER_PATH);

QString fixture(const QString &name) { return QStringLiteral(FIXTURE_DIR "/") + name; }

QStringList decoderLine(const QString &wav, const QString &mp3)
{
    return {"-m", "-R", "8000", "-b", "16", "-o", "wave:" + wav, mp3};
}

// The names of the hidden files in `folder`: the tools' temporary files.
QStringList hiddenFilesIn(const QString &folder)
{
    return filesIn(folder).filter(QRegularExpression("^\\."));
}

#ifdef _WIN32

struct Stop {
    const char *name;
};
// Closing the console window sends another event to the same handler, which a test
// cannot send without a window.
const Stop stops[] = {{"Ctrl+C"}};

// A tool started in a console of its own, as the command interpreter's console runs it,
// so that it can be stopped by Ctrl+C there once its temporary file exists.
class BackgroundRun {
public:
    explicit BackgroundRun(const QString &program, const QStringList &arguments)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
            arguments->flags |= CREATE_NEW_CONSOLE;
        });
        m_process.start();
        m_process.waitForStarted();
    }

    ~BackgroundRun()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    bool started() const { return m_process.state() == QProcess::Running; }

    // Waits until a hidden file appears in `folder`; false if the tool ended first.
    bool waitForTemporaryFileIn(const QString &folder)
    {
        while (hiddenFilesIn(folder).isEmpty()) {
            if (m_process.waitForFinished(1))
                return false;
        }
        return true;
    }

    // Sends the stop and waits for the end; whether the tool ended. (Windows ends it
    // with the status STATUS_CONTROL_C_EXIT, Wine with 0: the status tells nothing
    // here, the files left behind do.)
    bool stop(const Stop &)
    {
        const int sent = QProcess::execute(QStringLiteral(CONSOLE_STOP_PATH),
                                           {QString::number(m_process.processId())});
        return sent == 0 && m_process.waitForFinished(60000);
    }

private:
    QProcess m_process;
};

#else

struct Stop {
    const char *name;
    int signalNumber;
};
const Stop stops[] = {{"SIGHUP", SIGHUP}, {"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}};

// A tool started in the background, with its output thrown away, so that it can be
// stopped once its temporary file exists: by a signal, as when its terminal closes
// (SIGHUP), by Ctrl+C (SIGINT) or by kill (SIGTERM).
class BackgroundRun {
public:
    explicit BackgroundRun(const QString &program, const QStringList &arguments)
    {
        std::vector<std::string> texts{program.toStdString()};
        for (const QString &argument : arguments)
            texts.push_back(argument.toStdString());
        std::vector<char *> argv;
        for (std::string &text : texts)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~BackgroundRun()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    bool started() const { return m_pid > 0; }

    // Waits until a hidden file appears in `folder`; false if the tool ended first.
    bool waitForTemporaryFileIn(const QString &folder)
    {
        while (hiddenFilesIn(folder).isEmpty()) {
            if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            QThread::msleep(1);
        }
        return true;
    }

    // Sends the stop and waits for the end; whether the stop ended the tool, as its
    // status tells.
    bool stop(const Stop &how)
    {
        kill(m_pid, how.signalNumber);
        waitpid(m_pid, &m_status, 0);
        m_pid = -1;
        return WIFSIGNALED(m_status) && WTERMSIG(m_status) == how.signalNumber;
    }

private:
    pid_t m_pid = -1;
    int m_status = 0;
};

#endif

// A WAV header for 8000 Hz, 16-bit, mono PCM of `dataBytes` bytes.
QByteArray wavHeader(quint32 dataBytes)
{
    const auto le = [](quint32 value, int bytes) {
        QByteArray text;
        for (int i = 0; i < bytes; ++i)
            text += static_cast<char>((value >> (8 * i)) & 0xFF);
        return text;
    };
    return "RIFF" + le(dataBytes + 36, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4)
           + le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(dataBytes, 4);
}

// Makes `link` a second name of the file `target`.
bool hardLink(const QString &target, const QString &link)
{
#ifdef _WIN32
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(link.utf16()),
                           reinterpret_cast<const wchar_t *>(target.utf16()), nullptr);
#else
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
#endif
}

class ToolSafetyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inputs.isValid());
        ASSERT_TRUE(outputs.isValid());
    }

    QTemporaryDir inputs;
    QTemporaryDir outputs;
};

} // namespace

TEST_F(ToolSafetyTest, StoppedFromOutsideTheyLeaveNoTemporaryFileAndThePreviousOutput)
{
    // Inputs that take long to convert. The decoder's: an hour of MP3 frames. The
    // encoder's: a WAV file of 37 hours of silence, a sparse file that takes no disk space.
    const QString mp3 = inputs.filePath("long.mp3");
    writeFile(mp3, contentsOf(fixture("mpeg25-mono-11k.mp3")).repeated(2400));
    const QString wav = inputs.filePath("long.wav");
    writeFile(wav, wavHeader(0x7FFF0000));
    ASSERT_TRUE(QFile::resize(wav, 44 + 0x7FFF0000));

    const QString wavOut = outputs.filePath("temp.wav");
    const QString amrOut = outputs.filePath("ring.amr");
    const std::pair<QString, QStringList> tools[] = {
        {decoder, decoderLine(wavOut, mp3)},
        {encoder, {"wav2amr", wav, amrOut, "MR122"}},
    };
    for (const auto &[program, arguments] : tools) {
        for (const Stop &how : stops) {
            SCOPED_TRACE(QFileInfo(program).fileName().toStdString() + " stopped by " + how.name);
            writeFile(wavOut, "the previous conversion's audio");
            writeFile(amrOut, "the previous ringtone");

            BackgroundRun run(program, arguments);
            ASSERT_TRUE(run.started());
            ASSERT_TRUE(run.waitForTemporaryFileIn(outputs.path()))
                << "the tool ended before it could be stopped; it needs a longer input";
            EXPECT_TRUE(run.stop(how));

            EXPECT_EQ(filesIn(outputs.path()), QStringList({"ring.amr", "temp.wav"}));
            EXPECT_EQ(contentsOf(wavOut), "the previous conversion's audio");
            EXPECT_EQ(contentsOf(amrOut), "the previous ringtone");
        }
    }
}

TEST_F(ToolSafetyTest, OutputNamesAsLongAsTheFileSystemAllowsConvert)
{
    // 82 three-byte characters and the extension: 250 bytes, 5 short of the limit.
    const QString name = QString(82, QChar(0x9234));
    const QString wav = outputs.filePath(name + ".wav");
    const QString amr = outputs.filePath(name + ".amr");
    const QString back = outputs.filePath(name + ".back");
    ASSERT_EQ((name + ".wav").toUtf8().size(), 250);

    const ToolRun decoded = runTool(decoder, decoderLine(wav, fixture("vbr-48k.mp3")));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.errorOutput.toStdString();
    const ToolRun encoded = runTool(encoder, {"wav2amr", wav, amr, "MR74"});
    EXPECT_EQ(encoded.exitCode, 0) << encoded.errorOutput.toStdString();
    const ToolRun listened = runTool(encoder, {"amr2wav", amr, back});
    EXPECT_EQ(listened.exitCode, 0) << listened.errorOutput.toStdString();

    EXPECT_EQ(filesIn(outputs.path()), QStringList({name + ".amr", name + ".back", name + ".wav"}));
    EXPECT_EQ(readPcm(wav).size(), 12000u);
    EXPECT_EQ(readPcm(back).size(), 12000u);
}

TEST_F(ToolSafetyTest, AnInputNamedLikeAnOptionIsTheInputWhenItComesLast)
{
    ASSERT_TRUE(QFile::copy(fixture("vbr-48k.mp3"), inputs.filePath("-song.mp3")));
    const QString wav = outputs.filePath("temp.wav");
    const ToolRun run = runTool(decoder, decoderLine(wav, "-song.mp3"), QProcessEnvironment::systemEnvironment(),
                                inputs.path());
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_EQ(readPcm(wav).size(), 12000u);

    // An option stays an option in the last place.
    const ToolRun reordered = runTool(decoder, {"-song.mp3", "-o", "wave:" + wav, "-b", "16", "-R", "8000", "-m"},
                                      QProcessEnvironment::systemEnvironment(), inputs.path());
    EXPECT_EQ(reordered.exitCode, 2) << reordered.errorOutput.toStdString();
}

TEST_F(ToolSafetyTest, AWrongCommandLineRemovesTheOutputItNames)
{
    const QString mp3 = inputs.filePath("song.mp3");
    ASSERT_TRUE(QFile::copy(fixture("vbr-48k.mp3"), mp3));
    const QString wav = outputs.filePath("temp.wav");
    const QString out = "wave:" + wav;
    const QStringList wrongLines[] = {
        {"-m", "-R", "8000", "-b", "16", "-o", out, ""}, // an emptied input box
        {"-m", "-R", "8000", "-b", "16", "-o", out},
        {"-m", "-R", "8000", "-b", "16", "-o", out, mp3, mp3},
        {"-m", "-R", "8000", "-b", "16", "-q", "-o", out, mp3},
        {"-o", out, "-m", "-R", "44100", "-b", "16", mp3},
    };
    for (const QStringList &arguments : wrongLines) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        writeFile(wav, "the previous conversion's audio");
        const ToolRun run = runTool(decoder, arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.errorOutput.startsWith("usage: madplay.exe")) << run.errorOutput.toStdString();
        EXPECT_FALSE(QFile::exists(wav));
    }

    // A wrong line whose output is also one of its other arguments may mean that file as
    // the input: it is left alone.
    const ToolRun run = runTool(decoder, {"-m", "-R", "8000", "-b", "16", "-q", "-o", "wave:" + mp3, mp3});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(contentsOf(mp3), contentsOf(fixture("vbr-48k.mp3")));
}

TEST_F(ToolSafetyTest, AnOutputThatIsTheInputFileIsRefusedAndTheInputKept)
{
    // Names beyond any 8-bit code page, which must reach the file system as they are.
    const QString mp3 = inputs.filePath(QStringLiteral("song \u266a.mp3"));
    const QString wav = inputs.filePath(QStringLiteral("song \u266a.wav"));
    const QString amr = inputs.filePath(QStringLiteral("song \u266a.amr"));
    ASSERT_TRUE(QFile::copy(fixture("vbr-48k.mp3"), mp3));
    ASSERT_EQ(runTool(decoder, decoderLine(wav, mp3)).exitCode, 0);
    ASSERT_EQ(runTool(encoder, {"wav2amr", wav, amr, "MR74"}).exitCode, 0);
    const QStringList inputFiles{QFileInfo(amr).fileName(), QFileInfo(mp3).fileName(), QFileInfo(wav).fileName()};

    // Each input reached by its own name and a hard link; elsewhere by a symbolic link
    // too, on Windows by its name in capitals, which names the same file there.
    const auto sameFiles = [&](const QString &input) {
        const QString hard = outputs.filePath("hard-" + QFileInfo(input).fileName());
        EXPECT_TRUE(hardLink(input, hard));
#ifdef _WIN32
        return QStringList{input, hard, inputs.filePath(QFileInfo(input).fileName().toUpper())};
#else
        const QString symbolic = outputs.filePath("symbolic-" + QFileInfo(input).fileName());
        EXPECT_TRUE(QFile::link(input, symbolic));
        return QStringList{input, symbolic, hard};
#endif
    };
    struct Case {
        QString input;
        std::function<QStringList(const QString &)> line;
    };
    const Case cases[] = {
        {mp3, [&](const QString &output) { return decoderLine(output, mp3); }},
        {wav, [&](const QString &output) { return QStringList{"wav2amr", wav, output, "MR74"}; }},
        {amr, [&](const QString &output) { return QStringList{"amr2wav", amr, output}; }},
    };
    for (const Case &test : cases) {
        const QByteArray before = contentsOf(test.input);
        const QString program = test.input == mp3 ? decoder : encoder;
        for (const QString &output : sameFiles(test.input)) {
            SCOPED_TRACE(output.toStdString());
            const ToolRun run = runTool(program, test.line(output));
            EXPECT_EQ(run.exitCode, 1);
            ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
            EXPECT_TRUE(run.errorOutput.contains(output + ": the output would overwrite the input file"))
                << run.errorOutput.toStdString();
            EXPECT_EQ(contentsOf(test.input), before);
            EXPECT_TRUE(QFile::exists(output));
        }
        EXPECT_EQ(filesIn(inputs.path()), inputFiles);
    }
}
