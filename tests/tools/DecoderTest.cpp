// madplay.exe end to end on the fixture MP3s, on the other formats it reads, told by their
// content, and on input that is not audio.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <tuple>

// (The decoded files' WAV header is the writer's, whose bytes WavFileTest checks.)
using DecoderTest = ToolTest;

TEST_F(DecoderTest, DecodesEveryKindOfStreamAndFormatToItsToneAndLengthWhateverItsName)
{
    // Each fixture's samples (0: as many as Debian's ffmpeg decodes, where no LAME header
    // makes the length exact) and its 1 kHz tones, from, to and amplitude; in stereo-44k.mp3
    // in both channels, then in the left one only: half the level in the mix. The other
    // formats hold 1.5 s at half of full scale, checked away from the ends, where lossy
    // coders fade in and out.
    const std::vector<std::array<double, 3>> tone{{0.3, 1.2, 0.5}};
    const std::tuple<const char *, int, std::vector<std::array<double, 3>>> fixtures[] = {
        {"stereo-44k.mp3", 24000, {{0.2, 0.8, 0.5}, {2.2, 2.8, 0.25}}},
        {"mpeg2-22k.mp3", 16000, {{0.2, 0.8, 0.5}}},
        {"mpeg25-mono-11k.mp3", 0, {{0.2, 1.2, 0.5}}},
        {"vbr-48k.mp3", 12000, {{0.2, 1.2, 0.5}}},
        {"tagged-32k.mp3", 12000, {{0.2, 1.2, 0.5}}},
        {"tone-8bit.wav", 0, tone}, {"tone.flac", 0, tone}, {"tone.ogg", 0, tone}, {"tone.opus", 0, tone},
        {"tone.m4a", 0, tone},      {"tone.aac", 0, tone},  {"video.mp4", 0, tone}, {"video.mkv", 0, tone},
        {"video.webm", 0, tone},    {"video.avi", 0, tone},
    };
    for (const auto &[name, expectedSamples, tones] : fixtures) {
        // Each file also under the name of an MP3 file: the content tells the format.
        const QString renamed = folder.filePath("song.mp3");
        QFile::remove(renamed);
        ASSERT_TRUE(QFile::copy(fixtureFile(name), renamed));
        for (const QString &input : {fixtureFile(name), renamed}) {
            SCOPED_TRACE(input.toStdString());
            const auto samples = decodedCleanly(input);
            // With a LAME header the encoder's delay and padding are removed: the WAV lasts
            // as long as the music, within a millisecond.
            if (expectedSamples > 0)
                EXPECT_NEAR(static_cast<double>(samples.size()), expectedSamples, 8);
            else
                expectLengthNear(samples.size(), referenceSampleCount(name));
            // Nearly all of the energy at 1 kHz, a little less from the other formats' coders:
            // the rate was converted correctly.
            for (const auto &[from, to, amplitude] : tones)
                expectTone(samples, from, to, amplitude, QString(name).endsWith(".mp3") ? 0.99 : 0.98);
        }
    }
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
        const double energy = std::inner_product(reference.begin(), reference.end(), reference.begin(), 0.0);
        ASSERT_GT(*std::max_element(reference.begin(), reference.end()), 1.0) << "the fixture does not pass full scale";

        const auto samples = decodedCleanly(fixtureFile(name + ".mp3"));
        ASSERT_FALSE(samples.empty());
        EXPECT_LT(*std::max_element(samples.begin(), samples.end()), 32767);
        EXPECT_GT(*std::min_element(samples.begin(), samples.end()), -32767);
        EXPECT_NEAR(decibels(rmsLevel(samples) / std::sqrt(energy / double(reference.size()))), 0, 1.5);
    }
}

TEST_F(DecoderTest, InputThatIsNotAudioGetsOneLineNamingTheFileAndRemovesTheOldWav)
{
    QByteArray random(20000, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);

    // Each input's name, its bytes (none: the file does not exist) and the reason given.
    const std::tuple<QString, std::optional<QByteArray>, QString> inputs[] = {
        {"missing.mp3", std::nullopt, "cannot open it: No such file"},
        {"empty.mp3", QByteArray(), "empty"},
        {"text.mp3", QByteArray("Not an MP3 file at all, just a few words.\n").repeated(100), "holds no"},
        {"random.mp3", random, "holds no"},
        // A program's tables of jumps look like a run of MPEG frames. The decoder itself:
        // a Linux or a Windows program, as the build is.
        {"program.mp3", contentsOf(DECODER_PATH), "program, not audio"},
    };
    for (const auto &[name, bytes, reason] : inputs) {
        SCOPED_TRACE(name.toStdString());
        const QString mp3 = folder.filePath(name);
        if (bytes)
            writeFile(mp3, *bytes);
        writePreviousAudio(wav);

        const ToolRun run = runDecoder(wav, mp3);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.startsWith("madplay.exe: " + mp3 + ": ")) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.contains(reason)) << run.errorOutput.toStdString();
        EXPECT_EQ(filesIn(folder.path()), bytes ? QStringList{name} : QStringList());
        QFile::remove(mp3);
    }
}
