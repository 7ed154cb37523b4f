// converter end to end: the eight modes, the way back through amr2wav and through sox,
// and what a failed run leaves behind.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

const QString encoder = QStringLiteral(ENCODER_PATH);

// An 8000 Hz WAV file of a 1 kHz tone at half of full scale.
void writeTone(const QString &path, std::size_t sampleCount)
{
    std::vector<std::int16_t> samples(sampleCount);
    for (std::size_t i = 0; i < sampleCount; ++i)
        samples[i] = static_cast<std::int16_t>(16384 * std::sin(2 * std::numbers::pi * 1000 * i / 8000.0));
    writePcm(path, samples);
}

class EncoderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QTemporaryDir folder;
    QString wav = folder.filePath("temp.wav");
    QString amr = folder.filePath("song.amr");
};

} // namespace

TEST_F(EncoderTest, EachModeWritesFramesOfItsTypeThatDecodeToTheRightLength)
{
    // 7.5 frames of audio: the last frame is padded with silence, 8 frames come back.
    writeTone(wav, 1200);
    const char *modes[] = {"MR475", "MR515", "MR59", "MR67", "MR74", "MR795", "MR102", "MR122"};
    const int frameBytes[] = {13, 14, 16, 18, 20, 21, 27, 32};
    for (int mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE(modes[mode]);
        const ToolRun run = runTool(encoder, {"wav2amr", wav, amr, modes[mode]});
        ASSERT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();

        const QByteArray bytes = contentsOf(amr);
        ASSERT_TRUE(bytes.startsWith("#!AMR\n"));
        ASSERT_EQ(bytes.size(), 6 + 8 * frameBytes[mode]);
        for (int frame = 0; frame < 8; ++frame) {
            const auto header = static_cast<unsigned char>(bytes[6 + frame * frameBytes[mode]]);
            EXPECT_EQ(header, (mode << 3) | 0x04) << "frame " << frame;
        }

        const QString back = folder.filePath("back.wav");
        const ToolRun decode = runTool(encoder, {"amr2wav", amr, back});
        ASSERT_EQ(decode.exitCode, 0) << decode.errorOutput.toStdString();
        const auto samples = readPcm(back);
        EXPECT_EQ(samples.size(), 1280u);
        // Speech coding keeps a steady tone recognisable, if not exact.
        const auto part = between(samples, 0.05, 0.13);
        EXPECT_GT(toneAmplitude(part, 1000), 0.25);
        EXPECT_GT(std::pow(toneAmplitude(part, 1000), 2) / 2, 0.8 * std::pow(rmsLevel(part), 2));

#ifndef _WIN32 // Wine cannot start Debian's sox and read its answer.
        EXPECT_EQ(soxInfo(amr, "-s"), "1280");
        const QString bySox = folder.filePath("sox.wav");
        ASSERT_EQ(runTool("sox", {amr, bySox}).exitCode, 0);
        EXPECT_EQ(soxInfo(bySox, "-s"), "1280");
#endif
    }
}

TEST_F(EncoderTest, AnyPcmOrFloatWavIsMixedToMonoAndResampledTo8000Hz)
{
    // The tone at 8000 Hz, mono, 16-bit: what the encoder takes as it is.
    writeTone(wav, 12000);
    ASSERT_EQ(runTool(encoder, {"wav2amr", wav, amr, "MR122"}).exitCode, 0);
    const QString back = folder.filePath("back.wav");
    ASSERT_EQ(runTool(encoder, {"amr2wav", amr, back}).exitCode, 0);
    const double nativeLevel = toneAmplitude(between(readPcm(back), 0.2, 1.3), 1000);

    // The same 1.5 s of 1 kHz at half of full scale in other layouts, made by sox; in
    // "left only" the right channel is silent, so the mix holds the tone at half the level.
    struct Layout {
        const char *name;
        const char *file;
        double level;
    };
    const Layout layouts[] = {
        {"44.1 kHz stereo 16-bit", "tone-44k-stereo.wav", 1},
        {"44.1 kHz left only", "tone-44k-left-only.wav", 0.5},
        {"22.05 kHz mono 8-bit", "tone-22k-8bit.wav", 1},
        {"16 kHz mono 24-bit", "tone-16k-24bit.wav", 1},
        {"48 kHz stereo 32-bit float", "tone-48k-stereo-float.wav", 1},
        {"8 kHz mono 64-bit float", "tone-8k-double.wav", 1},
    };
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.name);
        const QString input = referenceFile(layout.file);
        const ToolRun run = runTool(encoder, {"wav2amr", input, amr, "MR122"});
        ASSERT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        // 1.5 s are 75 frames of 20 ms.
        EXPECT_EQ(contentsOf(amr).size(), 6 + 75 * 32);
        ASSERT_EQ(runTool(encoder, {"amr2wav", amr, back}).exitCode, 0);
        const auto part = between(readPcm(back), 0.2, 1.3);
        EXPECT_NEAR(decibels(toneAmplitude(part, 1000) / (layout.level * nativeLevel)), 0, 0.5);
        EXPECT_GT(std::pow(toneAmplitude(part, 1000), 2) / 2, 0.8 * std::pow(rmsLevel(part), 2));
    }
}

TEST_F(EncoderTest, AWavWrittenToAPipeIsReadToItsEnd)
{
    // ffmpeg writing to a pipe cannot go back to fill in the sizes: it leaves 0xFFFFFFFF.
    ASSERT_EQ(runTool(encoder, {"wav2amr", referenceFile("tone-8k.wav"), amr, "MR74"}).exitCode, 0);
    const QByteArray expected = contentsOf(amr);
    const QByteArray piped = contentsOf(referenceFile("tone-8k-piped.wav"));
    ASSERT_TRUE(piped.startsWith(QByteArray("RIFF\xFF\xFF\xFF\xFF", 8)));

    // Other writers leave 0.
    QByteArray zeroSizes = piped;
    const qsizetype data = zeroSizes.indexOf("data");
    ASSERT_GT(data, 0);
    zeroSizes.replace(4, 4, QByteArray(4, '\0'));
    zeroSizes.replace(data + 4, 4, QByteArray(4, '\0'));

    for (const QByteArray &bytes : {piped, zeroSizes}) {
        const QString input = folder.filePath("piped.wav");
        writeFile(input, bytes);
        const ToolRun run = runTool(encoder, {"wav2amr", input, amr, "MR74"});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_EQ(contentsOf(amr), expected);
    }
}

TEST_F(EncoderTest, AFailedRunNamesTheFileAndLeavesTheOldOutputAlone)
{
    const QString muLaw = folder.filePath("mu-law.wav");
    ASSERT_TRUE(QFile::copy(referenceFile("mu-law.wav"), muLaw));
    const QString notWav = folder.filePath("song.mp3");
    writeFile(notWav, "ID3 and more");
    const QString empty = folder.filePath("empty.wav");
    writeTone(empty, 0);
    writeTone(wav, 800);
    const QByteArray wavBytes = contentsOf(wav);
    const QString truncatedAmr = folder.filePath("cut.amr");

    const std::vector<std::pair<QStringList, QString>> runs{
        {{"wav2amr", muLaw, amr, "MR74"}, muLaw + ": it holds mu-law audio; the encoder reads PCM or floating-point"},
        {{"wav2amr", notWav, amr, "MR74"}, notWav + ": it is not a WAV file"},
        {{"wav2amr", empty, amr, "MR74"}, empty + ": it holds no audio"},
        {{"wav2amr", folder.filePath("gone.wav"), amr, "MR74"},
         folder.filePath("gone.wav") + ": cannot open it: No such file or directory"},
        {{"wav2amr", wav, folder.filePath("gone/x.amr"), "MR74"}, folder.filePath("gone/x.amr")},
        {{"amr2wav", notWav, amr}, notWav + ": it is not an AMR-NB file"},
    };
    for (const auto &[arguments, expected] : runs) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        writeFile(amr, "the previous ringtone");
        const ToolRun run = runTool(encoder, arguments);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.startsWith("converter: " + expected)) << run.errorOutput.toStdString();
        EXPECT_EQ(contentsOf(amr), "the previous ringtone");
    }

    // A truncated AMR file: amr2wav leaves the existing WAV file as it was.
    ASSERT_EQ(runTool(encoder, {"wav2amr", wav, amr, "MR122"}).exitCode, 0);
    writeFile(truncatedAmr, contentsOf(amr).chopped(5));
    const ToolRun cut = runTool(encoder, {"amr2wav", truncatedAmr, wav});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.errorOutput.contains(truncatedAmr + ": the file ends inside frame 5"))
        << cut.errorOutput.toStdString();
    EXPECT_EQ(contentsOf(wav), wavBytes);

    const QStringList expectedFiles{"cut.amr", "empty.wav", "mu-law.wav", "song.amr", "song.mp3", "temp.wav"};
    EXPECT_EQ(filesIn(folder.path()), expectedFiles);
}

TEST_F(EncoderTest, AWrongCommandLineGetsTheUsage)
{
    writeTone(wav, 160);
    const QStringList wrongLines[] = {
        {},
        {"wav2amr", wav, amr},
        {"wav2amr", wav, amr, "MR99"},
        {"wav2amr", wav, amr, "mr74"},
        {"amr2wav", amr},
        {"encode", wav, amr, "MR74"},
    };
    for (const QStringList &arguments : wrongLines) {
        const ToolRun run = runTool(encoder, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.errorOutput.startsWith("converter: usage: converter wav2amr IN.wav OUT.amr MODE"));
        EXPECT_TRUE(run.errorOutput.contains("MR475 MR515 MR59 MR67 MR74 MR795 MR102 MR122"));
    }
    EXPECT_FALSE(QFile::exists(amr));
}

TEST_F(EncoderTest, TakesFileNamesInAnyScript)
{
    // Letters of several scripts at once: no 8-bit code page holds them all.
    const QString input = folder.filePath(QStringLiteral("M\u00fasica \u4e2d\u6587 \u266a.wav"));
    writeTone(input, 1600);
    const QString output = folder.filePath(QStringLiteral("\u0391\u03b8\u03ae\u03bd\u03b1 \u00df.amr"));
    const ToolRun run = runTool(encoder, {"wav2amr", input, output, "MR122"});
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_EQ(contentsOf(output).size(), 6 + 10 * 32);

    const QString back = folder.filePath(QStringLiteral("\u4e2d\u6587 back.wav"));
    EXPECT_EQ(runTool(encoder, {"amr2wav", output, back}).exitCode, 0);
    EXPECT_EQ(readPcm(back).size(), 1600u);
}
