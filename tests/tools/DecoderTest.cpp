// madplay.exe end to end: what it makes of the fixture MP3s, and what it leaves behind
// when the input is not audio.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const QString decoder = QStringLiteral(DECODER_PATH);

class DecoderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    ToolRun decode(const QString &mp3)
    {
        return runTool(decoder, decoderArguments(wav, mp3));
    }

    // Decodes a fixture that must decode, checking the WAV header against sox's reading
    // (not in the Windows build: its tests run under Wine, which cannot start Debian's
    // sox and read its answer; our reader still checks the header).
    std::vector<std::int16_t> decodeFixture(const QString &name)
    {
        const ToolRun run = decode(fixtureFile(name));
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        std::vector<std::int16_t> samples = readPcm(wav);
#ifndef _WIN32
        EXPECT_EQ(soxInfo(wav, "-r"), "8000");
        EXPECT_EQ(soxInfo(wav, "-c"), "1");
        EXPECT_EQ(soxInfo(wav, "-b"), "16");
        EXPECT_EQ(soxInfo(wav, "-s"), QString::number(samples.size()));
#endif
        return samples;
    }

    QTemporaryDir folder;
    QString wav = folder.filePath("temp.wav");
};

struct ToneFixture {
    const char *name;
    int expectedSamples; // 0: no LAME header, so the length is not exact
    double toneFrom, toneTo, amplitude;
};

// A 1 kHz tone of the given amplitude between the two times.
void expectTone(const std::vector<std::int16_t> &samples, double from, double to, double amplitude)
{
    const auto part = between(samples, from, to);
    const double level = toneAmplitude(part, 1000);
    EXPECT_NEAR(decibels(level / amplitude), 0, 1.0) << "level " << level;
    // Nearly all of the energy is at 1 kHz: the rate was converted correctly.
    EXPECT_GT(level * level / 2, 0.99 * rmsLevel(part) * rmsLevel(part));
}

} // namespace

TEST_F(DecoderTest, DecodesEveryKindOfStreamToItsToneAndLength)
{
    const ToneFixture fixtures[] = {
        {"stereo-44k.mp3", 24000, 0.2, 0.8, 0.5},
        {"mpeg2-22k.mp3", 16000, 0.2, 0.8, 0.5},
        {"mpeg25-mono-11k.mp3", 0, 0.2, 1.2, 0.5},
        {"vbr-48k.mp3", 12000, 0.2, 1.2, 0.5},
        {"tagged-32k.mp3", 12000, 0.2, 1.2, 0.5},
    };
    for (const ToneFixture &tone : fixtures) {
        SCOPED_TRACE(tone.name);
        const auto samples = decodeFixture(tone.name);
        // With a LAME header the encoder's delay and padding are removed: the WAV lasts
        // as long as the music, within a millisecond.
        if (tone.expectedSamples > 0)
            EXPECT_NEAR(static_cast<double>(samples.size()), tone.expectedSamples, 8);
        else
            EXPECT_GE(samples.size(), 12000u);
        expectTone(samples, tone.toneFrom, tone.toneTo, tone.amplitude);
    }
}

TEST_F(DecoderTest, MixesTheChannelsAndSuppressesWhatWouldFoldDown)
{
    const auto samples = decodeFixture("stereo-44k.mp3");
    // 1 kHz in the left channel only: half the level in the mix.
    expectTone(samples, 2.2, 2.8, 0.25);
    // 6 kHz would fold down to 2 kHz at 8000 Hz; it must be at least 60 dB down.
    const double toneRms = 0.5 / std::sqrt(2.0);
    EXPECT_LT(decibels(rmsLevel(between(samples, 1.2, 1.8)) / toneRms), -60);
}

TEST_F(DecoderTest, LoudMusicStaysBelowFullScaleAtItsLevel)
{
    // Decoded in floating point, a loud master's peaks pass full scale, the square wave's
    // on every edge: no sample may reach it, and the level stays that of the decoding
    // (by Debian's ffmpeg, in floating point).
    for (const QString name : {"loud-44k", "loud-music-44k"}) {
        SCOPED_TRACE(name.toStdString());
        const std::vector<float> reference = readMonoFloat(referenceFile(name + "-float.wav"));
        ASSERT_FALSE(reference.empty());
        double energy = 0, peak = 0;
        for (const float sample : reference) {
            energy += double(sample) * sample;
            peak = std::max(peak, std::abs(double(sample)));
        }
        ASSERT_GT(peak, 1.0) << "the fixture does not pass full scale";

        const auto samples = decodeFixture(name + ".mp3");
        ASSERT_FALSE(samples.empty());
        EXPECT_LT(*std::max_element(samples.begin(), samples.end()), 32767);
        EXPECT_GT(*std::min_element(samples.begin(), samples.end()), -32767);
        EXPECT_NEAR(decibels(rmsLevel(samples) / std::sqrt(energy / double(reference.size()))), 0, 1.5);
    }
}

TEST_F(DecoderTest, InputThatIsNotAudioGetsOneLineNamingTheFileAndRemovesTheOldWav)
{
    QByteArray random(20000, '\0');
    QRandomGenerator generator(7);
    for (char &byte : random)
        byte = static_cast<char>(generator.bounded(256));

    const std::vector<std::pair<QString, QByteArray>> inputs{
        {"empty.mp3", {}},
        {"text.mp3", QByteArray("Not an MP3 file at all, just a few words.\n").repeated(100)},
        {"random.mp3", random},
        // A program's tables of jumps look like a run of MPEG frames. The decoder itself:
        // a Linux or a Windows program, as the build is.
        {"program.mp3", contentsOf(decoder)},
    };
    const QString reasons[] = {"empty", "holds no", "holds no", "program, not audio"};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(inputs[i].first.toStdString());
        const QString mp3 = folder.filePath(inputs[i].first);
        writeFile(mp3, inputs[i].second);
        writePreviousAudio(wav);

        const ToolRun run = decode(mp3);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.contains(mp3)) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.contains(reasons[i])) << run.errorOutput.toStdString();
        EXPECT_FALSE(QFile::exists(wav));
        EXPECT_EQ(filesIn(folder.path()), QStringList{inputs[i].first});
        QFile::remove(mp3);
    }
}

TEST_F(DecoderTest, JunkAfterTheLastFrameEndsTheAudioAsInPlayers)
{
    const std::vector<std::int16_t> plain = decodeFixture("mpeg25-mono-11k.mp3");
    const QByteArray mp3 = contentsOf(fixtureFile("mpeg25-mono-11k.mp3"));
    const std::pair<const char *, QByteArray> endings[] = {
        {"zero padding", QByteArray(3000, '\0')},
        {"a Lyrics3 tag", "LYRICSBEGININDsong by someone\r\nLYR00020no words to sing000041LYRICS200"},
    };
    for (const auto &[what, ending] : endings) {
        SCOPED_TRACE(what);
        const QString padded = folder.filePath("padded.mp3");
        writeFile(padded, mp3 + ending);
        const ToolRun run = decode(padded);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.isEmpty()) << run.errorOutput.toStdString();
        EXPECT_EQ(readPcm(wav), plain);
    }
}

TEST_F(DecoderTest, AMissingInputOrAnUnwritableOutputIsNamed)
{
    writePreviousAudio(wav);
    const ToolRun missing = decode(folder.filePath("missing.mp3"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.errorOutput.contains(folder.filePath("missing.mp3") + ": cannot open it: No such file"))
        << missing.errorOutput.toStdString();
    EXPECT_FALSE(QFile::exists(wav));

    const QString unwritable = folder.filePath("no such folder/temp.wav");
    const ToolRun run = runTool(decoder, {"-m", "-R", "8000", "-b", "16", "-o", "wave:" + unwritable,
                                          fixtureFile("mpeg25-mono-11k.mp3")});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
    EXPECT_TRUE(run.errorOutput.contains(unwritable)) << run.errorOutput.toStdString();
}

TEST_F(DecoderTest, TakesItsOptionsInAnyOrderButNoOthers)
{
    const QString mp3 = fixtureFile("mpeg25-mono-11k.mp3");
    const ToolRun reordered = runTool(decoder, {mp3, "-o", "wave:" + wav, "-b", "16", "-R", "8000", "-m"});
    EXPECT_EQ(reordered.exitCode, 0) << reordered.errorOutput.toStdString();
    EXPECT_TRUE(QFile::exists(wav));

    const QString out = "wave:" + wav;
    const QStringList wrongLines[] = {
        {"-R", "8000", "-b", "16", "-o", out, mp3},
        {"-m", "-R", "44100", "-b", "16", "-o", out, mp3},
        {"-m", "-R", "8000", "-b", "8", "-o", out, mp3},
        {"-m", "-R", "8000", "-b", "16", "-o", wav, mp3},
        {"-m", "-R", "8000", "-b", "16", "-o", out},
        {"-m", "-R", "8000", "-b", "16", "-o", out, mp3, mp3},
        {"-m", "-m", "-R", "8000", "-b", "16", "-o", out, mp3},
        {"-m", "-R", "8000", "-b", "16", "-q", "-o", out, mp3},
        {"-m", "-R", "8000", "-b", "16", "-o"},
    };
    for (const QStringList &arguments : wrongLines) {
        const ToolRun run = runTool(decoder, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.errorOutput.startsWith("madplay.exe: usage: madplay.exe -m -R 8000 -b 16 -o wave:"));
    }
}

TEST_F(DecoderTest, TakesFileNamesInAnyScript)
{
    // Letters of several scripts at once: no 8-bit code page holds them all.
    const QString mp3 = folder.filePath(QStringLiteral("M\u00fasica \u4e2d\u6587 \u266a.mp3"));
    ASSERT_TRUE(QFile::copy(fixtureFile("mpeg25-mono-11k.mp3"), mp3));
    const QString output = folder.filePath(QStringLiteral("\u0391\u03b8\u03ae\u03bd\u03b1 \u00df.wav"));
    const ToolRun run = runTool(decoder, decoderArguments(output, mp3));
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_GE(readPcm(output).size(), 12000u);
}
