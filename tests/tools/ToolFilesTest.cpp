// What the decoder and the encoder do with files they did not make.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using ToolFilesTest = ToolTest;

TEST_F(ToolFilesTest, AnInputOrOutputThatIsNoFileIsRefusedAtOnceAndLeftAsItIs)
{
    const QString subfolder = folder.filePath("songs");
    ASSERT_TRUE(QDir(folder.path()).mkdir("songs"));
    std::vector<std::pair<QString, QString>> noFiles{{subfolder, "it is a folder, not a file"}};
#ifndef _WIN32
    // A named pipe without a writer would keep its open waiting for ever, and a device
    // like /dev/zero would never end.
    const QString pipe = folder.filePath("pipe.wav");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = folder.filePath("link.wav");
    ASSERT_TRUE(QFile::link(subfolder, link));
    noFiles.insert(noFiles.end(), {{pipe, "it is a named pipe, not a file"},
                                   {link, "it is a folder, not a file"},
                                   {"/dev/zero", "it is a device, not a file"}});
#endif
    // Each tool reading it and writing it. (amr2wav opens its files as wav2amr does.)
    const QString input = folder.filePath("input.wav");
    writePreviousAudio(input);
    for (const auto &[path, reason] : noFiles) {
        const std::tuple<QString, QString, QStringList> lines[] = {
            {DECODER_PATH, "madplay.exe", decoderArguments(wav, path)},
            {ENCODER_PATH, "converter", {"wav2amr", path, amr, "MR74"}},
            {DECODER_PATH, "madplay.exe", decoderArguments(path, fixtureFile("vbr-48k.mp3"))},
            {ENCODER_PATH, "converter", {"wav2amr", input, path, "MR74"}},
        };
        for (const auto &[program, name, arguments] : lines) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            // A generous limit that only guards against waiting for ever.
            const ToolRun run = runTool(program, arguments, QProcessEnvironment::systemEnvironment(), {}, 20);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.errorLines(), QStringList(name + ": " + path + ": " + reason));
        }
    }
    EXPECT_TRUE(QFileInfo(subfolder).isDir());
    EXPECT_TRUE(QDir(subfolder).isEmpty());
#ifndef _WIN32
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(std::filesystem::is_fifo(QFile::encodeName(pipe).toStdString()));
#endif
}

TEST_F(ToolFilesTest, AFailedDecodingRemovesOnlyTheWavFileItWouldHaveReplaced)
{
    // Stale audio goes, so that the encoder after it cannot encode an older song; a file
    // of another kind or a folder is the user's.
    const QString notAudio = folder.filePath("notes.mp3");
    writeFile(notAudio, "Not an MP3 file at all.\n");
    const QString text = folder.filePath("notes.txt");
    writeFile(text, "a user's notes");
    const QString subfolder = folder.filePath("empty folder");
    ASSERT_TRUE(QDir(folder.path()).mkdir("empty folder"));
    for (const QString &kept : {text, subfolder}) {
        SCOPED_TRACE(kept.toStdString());
        EXPECT_EQ(runDecoder(kept, notAudio).exitCode, 1);
        EXPECT_TRUE(QFileInfo::exists(kept));
    }
    EXPECT_EQ(contentsOf(text), "a user's notes");
#ifndef _WIN32
    // Through a link, the audio it leads to goes (that the WAV file itself goes is
    // DecoderTest's), and the link stays for the next run.
    const QString link = folder.filePath("link.wav");
    ASSERT_TRUE(QFile::link("temp.wav", link));
    writePreviousAudio(wav);
    EXPECT_EQ(runDecoder(link, notAudio).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(wav));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
#endif
}

TEST_F(ToolFilesTest, AFileTheUserMayNotWriteIsRefusedAndKept)
{
    // Files the user may read but not write, in a folder the user may write: as cp and sox
    // do, the tools refuse to replace them.
    const QString song = folder.filePath("song.mp3"), input = folder.filePath("input.wav");
    ASSERT_TRUE(QFile::copy(fixtureFile("vbr-48k.mp3"), song));
    writePreviousAudio(input);
    const QString userFolder = folder.filePath("user");
    ASSERT_TRUE(QDir(folder.path()).mkdir("user"));
    const QString wavOut = userFolder + "/temp.wav", amrOut = userFolder + "/ring.amr";
    writePreviousAudio(wavOut);
    writeFile(amrOut, "the user's ringtone");
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
    QStringList tools{DECODER_PATH, ENCODER_PATH};
    QStringList asUser; // what runs a tool as the user
#ifndef _WIN32
    if (geteuid() == 0) {
        // Root may write anything: the tools run as the user 65534 (nobody), who owns the
        // folder, from copies where that user reaches them, on inputs that user may read.
        // temp.wav is root's, mode 644; ring.amr is that user's, mode 444.
        const QString nobody = "65534";
        if (QProcess::execute("setpriv", {"--reuid=" + nobody, "--regid=" + nobody, "--clear-groups", "--", "true"}) != 0)
            GTEST_SKIP() << "runs as root and cannot run a tool as the user nobody (setpriv --reuid=65534 failed)";
        asUser = {"setpriv", "--reuid=" + nobody, "--regid=" + nobody, "--clear-groups", "--"};
        ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther));
        for (const QString &path : {song, input})
            ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther));
        for (QString &tool : tools) {
            const QString copy = folder.filePath(QFileInfo(tool).fileName());
            ASSERT_TRUE(QFile::copy(tool, copy));
            tool = copy;
        }
        ASSERT_EQ(chown(QFile::encodeName(userFolder).constData(), 65534, 65534), 0);
        ASSERT_EQ(chown(QFile::encodeName(amrOut).constData(), 65534, 65534), 0);
        ASSERT_TRUE(QFile::setPermissions(amrOut, readOnly));
    } else
#endif
    {
        ASSERT_TRUE(QFile::setPermissions(wavOut, readOnly));
        ASSERT_TRUE(QFile::setPermissions(amrOut, readOnly));
    }
    const QByteArray wavBefore = contentsOf(wavOut);
    const std::pair<QStringList, QString> lines[] = {
        {QStringList{tools[0]} + decoderArguments(wavOut, song), "madplay.exe: " + wavOut},
        {{tools[1], "wav2amr", input, amrOut, "MR74"}, "converter: " + amrOut},
    };
    for (const auto &[line, named] : lines) {
        SCOPED_TRACE(line.join(' ').toStdString());
        const QStringList command = asUser + line;
        const ToolRun run = runTool(command.front(), command.mid(1));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errorLines(), QStringList(named + ": you may not write to it, so it is left as it was"))
            << run.errorOutput.toStdString();
    }
    EXPECT_EQ(contentsOf(wavOut), wavBefore);
    EXPECT_EQ(contentsOf(amrOut), "the user's ringtone");
    EXPECT_EQ(filesIn(userFolder), QStringList({"ring.amr", "temp.wav"}));
}

#ifndef _WIN32
TEST_F(ToolFilesTest, AReplacedFileKeepsItsModeAndOwnerAndALinkIsWrittenThrough)
{
    // A ringtone kept from other users; as root one of nobody's that no one may write,
    // which root may replace, as with cp.
    writeFile(amr, "the previous ringtone");
    const bool root = geteuid() == 0;
    const mode_t mode = root ? 0440 : 0640;
    ASSERT_EQ(chmod(QFile::encodeName(amr).constData(), mode), 0);
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(amr).constData(), 65534, 65534), 0);
    }
    writePreviousAudio(folder.filePath("input.wav"));
    ASSERT_EQ(runTool(ENCODER_PATH, {"wav2amr", folder.filePath("input.wav"), amr, "MR74"}).exitCode, 0);
    const auto permissions = std::filesystem::status(QFile::encodeName(amr).toStdString()).permissions();
    EXPECT_EQ(static_cast<mode_t>(permissions), mode);
    EXPECT_EQ(QFileInfo(amr).ownerId(), root ? 65534u : geteuid());
    EXPECT_TRUE(contentsOf(amr).startsWith("#!AMR\n"));

    // temp.wav leads to a file in another folder, which is made, then replaced, there.
    ASSERT_TRUE(QDir(folder.path()).mkdir("real"));
    ASSERT_TRUE(QFile::link("real/song.wav", wav));
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(decodedCleanly(fixtureFile("vbr-48k.mp3")).size(), 12000u);
        EXPECT_TRUE(QFileInfo(wav).isSymLink());
        EXPECT_EQ(filesIn(folder.filePath("real")), QStringList{"song.wav"});
    }
}
#endif
