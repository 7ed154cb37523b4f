// The lines the tools print for the user, also in the file that AMR_TOOL_MESSAGES names,
// which the program reads after a conversion.

#include "ToolRun.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class ToolMessagesTest : public ToolTest {
protected:
    ToolRun run(const QString &program, const QStringList &arguments, const QString &messagesFile)
    {
        return runTool(program, arguments, environmentWith("AMR_TOOL_MESSAGES", messagesFile));
    }

    QString messages = folder.filePath("messages.txt");
    QString notAudio = folder.filePath("notes.mp3");
};

QStringList linesOf(const QString &path)
{
    return QString::fromUtf8(contentsOf(path)).split(u'\n');
}

} // namespace

TEST_F(ToolMessagesTest, EachLineForTheUserIsAppendedAsPrintedAndAWrongCommandLineAsOne)
{
    writeFile(notAudio, "Not an MP3 file at all.\n");
    // A name beyond any 8-bit code page, which reaches the file in UTF-8.
    const QString damaged = folder.filePath(QStringLiteral("cut \u266a.mp3"));
    ASSERT_TRUE(QFile::copy(fixtureFile("last-frame-cut.mp3"), damaged));
    // A warning, a failure and a wrong command line, through the decoder: both tools print
    // through one helper (what each line says is the tools' other tests'), and the encoder's
    // line after a failed decoding is appended in the next test.
    const std::pair<QStringList, int> lines[] = {
        {decoderArguments(wav, damaged), 0}, {decoderArguments(wav, notAudio), 1}, {{"-m", "-o", "wave:" + wav}, 2}};
    for (const auto &[arguments, exitCode] : lines) {
        SCOPED_TRACE(exitCode);
        writeFile(messages, "an earlier line\n");
        const ToolRun done = run(DECODER_PATH, arguments, messages);
        EXPECT_EQ(done.exitCode, exitCode) << done.errorOutput.toStdString();
        const QStringList printed = done.errorLines();
        ASSERT_FALSE(printed.isEmpty());
        // A usage's further lines explain; its first names the program and the mistake.
        const QStringList appended = exitCode == 2 ? printed.first(1) : printed;
        EXPECT_EQ(linesOf(messages), QStringList{"an earlier line"} + appended + QStringList{""});
    }

    // Unset or empty, nothing is written; a file that cannot be written leaves the line on
    // the error output.
    QProcessEnvironment unset = QProcessEnvironment::systemEnvironment();
    unset.remove("AMR_TOOL_MESSAGES");
    EXPECT_EQ(runDecoder(wav, notAudio, unset).exitCode, 1);
    EXPECT_EQ(run(DECODER_PATH, decoderArguments(wav, notAudio), "").exitCode, 1);
    const ToolRun unwritable = run(DECODER_PATH, decoderArguments(wav, notAudio), folder.path());
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.errorLines().size(), 1);
    EXPECT_EQ(filesIn(folder.path()), QStringList({QFileInfo(damaged).fileName(), "messages.txt", "notes.mp3"}));
}

TEST_F(ToolMessagesTest, AfterAFailedDecodingStepTheEncoderSaysThereIsNoDecodedAudio)
{
    writeFile(notAudio, "Not an MP3 file at all.\n");
    const QStringList encode{"wav2amr", wav, amr, "MR74"};
    const QString missing = wav + ": cannot open it: No such file or directory";

    ASSERT_EQ(run(DECODER_PATH, decoderArguments(wav, notAudio), messages).exitCode, 1);
    const ToolRun afterFailure = run(ENCODER_PATH, encode, messages);
    EXPECT_EQ(afterFailure.exitCode, 1);
    EXPECT_EQ(afterFailure.errorLines(),
              QStringList("converter: " + wav + ": there is no decoded audio to encode, because the decoding step before failed"));
    EXPECT_EQ(linesOf(messages).size(), 3);

    // Without the file, or after a decoder that only warned, the missing file is all there is to say.
    EXPECT_EQ(runTool(ENCODER_PATH, encode).errorLines(), QStringList("converter: " + missing));
    writeFile(messages, "madplay.exe: warning: song.mp3: it is truncated\n");
    EXPECT_EQ(run(ENCODER_PATH, encode, messages).errorLines(), QStringList("converter: " + missing));
}
