// madplay.exe on several threads: MPEG audio that is cut into runs decodes to what one run
// makes, within a rounding step, at the exact gapless length and with the alias
// suppression of one run; a damaged file decodes exactly as in one run, with the same
// warnings; a thread setting that is not a count is refused.

#include "MpegFrameScanner.h"
#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

// Where the frames of an MP3 file start.
std::vector<qsizetype> frameOffsets(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    MpegFrameScanner scanner(in);
    std::vector<qsizetype> offsets;
    for (auto frame = scanner.next(); frame.ok() && frame.value(); frame = scanner.next())
        offsets.push_back(static_cast<qsizetype>(frame.value()->offset));
    return offsets;
}

// Seeded noise, full of bytes that look like frame headers.
QByteArray junk(qsizetype size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(7);
    for (char &byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

// The largest difference between two decodings of one file, in 16-bit steps.
int largestDifference(const std::vector<std::int16_t> &first, const std::vector<std::int16_t> &second)
{
    int largest = 0;
    for (std::size_t i = 0; i < std::min(first.size(), second.size()); ++i)
        largest = std::max(largest, std::abs(first[i] - second[i]));
    return largest;
}

class DecoderThreadsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // Decodes `input` on `threads` threads, as AMR_DECODER_THREADS sets them, into `wav`.
    ToolRun decode(const QString &input, const QString &threads, const QString &wav)
    {
        return runTool(DECODER_PATH, decoderArguments(wav, input), environmentWith("AMR_DECODER_THREADS", threads));
    }

    // The samples of a decoding that must succeed without a warning.
    std::vector<std::int16_t> decoded(const QString &input, const QString &threads)
    {
        const QString wav = folder.filePath("temp.wav");
        const ToolRun run = decode(input, threads, wav);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.isEmpty()) << run.errorOutput.toStdString();
        return readPcm(wav);
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(DecoderThreadsTest, RunsDecodeWhatOneRunDoesWithinARoundingStep)
{
    // 12 s each, up to four runs of 3 s: one with a LAME header (exactly 12 s) and a 6 kHz
    // tone from 5 s to 8 s, which would fold down to 2 kHz and which joins fall into; the
    // same with noise after its last frame, which is no damage: the audio ends there, in
    // runs too; and one without, whose tiny frames reach far into the bit reservoir. The
    // runs' resamplers work through their blocks from other starting points, which may
    // round a sample the other way; a click at a join, or a join a sample off, would
    // differ by far more.
    const QString noisy = folder.filePath("noise-after.mp3");
    writeFile(noisy, contentsOf(fixtureFile("music-44k.mp3")) + junk(65536));
    const auto aliasLevel = [](const std::vector<std::int16_t> &samples) {
        return decibels(rmsLevel(between(samples, 5.3, 7.7)) / (0.5 / std::sqrt(2.0)));
    };
    const std::pair<QString, bool> inputs[] = {
        {fixtureFile("music-44k.mp3"), true}, {noisy, true}, {fixtureFile("music-22k.mp3"), false}};
    for (const auto &[mp3, withLameHeaderAndTone] : inputs) {
        SCOPED_TRACE(QFileInfo(mp3).fileName().toStdString());
        const std::vector<std::int16_t> one = decoded(mp3, "1");
        ASSERT_GT(one.size(), 90000u);
        if (withLameHeaderAndTone) {
            EXPECT_EQ(one.size(), 96000u);
            EXPECT_LT(aliasLevel(one), -100);
        }
        for (const char *threads : {"2", "3", "4"}) {
            SCOPED_TRACE(std::string("on ") + threads + " threads");
            const std::vector<std::int16_t> runs = decoded(mp3, threads);
            ASSERT_EQ(runs.size(), one.size());
            EXPECT_LE(largestDifference(runs, one), 2);
            if (withLameHeaderAndTone) {
                EXPECT_LT(aliasLevel(runs), -100);
            }
        }
    }
}

TEST_F(DecoderThreadsTest, DamagedFilesDecodeExactlyAsInOneRunWithTheSameWarnings)
{
    // Damage done to the 12 s files, one with a LAME header (which a cut contradicts) and
    // one without.
    const QByteArray music = contentsOf(fixtureFile("music-44k.mp3"));
    const std::vector<qsizetype> frames = frameOffsets(fixtureFile("music-44k.mp3"));
    const QByteArray bare = contentsOf(fixtureFile("music-22k.mp3"));
    const std::vector<qsizetype> bareFrames = frameOffsets(fixtureFile("music-22k.mp3"));
    ASSERT_GT(frames.size(), 400u);
    ASSERT_GT(bareFrames.size(), 400u);
    const qsizetype middle = frames[frames.size() / 2];
    QByteArray tag("ID3\x04\x00\x00\x00\x00\x07\x68", 10);
    tag += QByteArray(1000, '\0');

    const std::pair<const char *, QByteArray> damaged[] = {
        {"junk between frames", music.left(middle) + junk(300) + music.mid(middle)},
        {"junk inside a frame", music.left(middle + 100) + junk(300) + music.mid(middle + 100)},
        {"a tag between frames", music.left(middle) + tag + music.mid(middle)},
        {"a cut at a frame boundary, which the LAME header contradicts", music.left(middle)},
        {"the last frame cut", bare.left(bareFrames.back() + (bare.size() - bareFrames.back()) / 2)},
        {"a download cut inside a frame", bare.left(bareFrames[bareFrames.size() * 6 / 10] + 50)},
        {"a file of another rate joined on", music + bare},
    };
    const QString mp3 = folder.filePath("damaged.mp3");
    const QString oneWav = folder.filePath("one.wav"), runsWav = folder.filePath("runs.wav");
    for (const auto &[what, bytes] : damaged) {
        SCOPED_TRACE(what);
        writeFile(mp3, bytes);
        const ToolRun one = decode(mp3, "1", oneWav);
        const ToolRun runs = decode(mp3, "4", runsWav);
        ASSERT_EQ(one.exitCode, 0) << one.errorOutput.toStdString();
        EXPECT_EQ(runs.exitCode, 0);
        EXPECT_EQ(runs.errorOutput, one.errorOutput);
        EXPECT_EQ(contentsOf(runsWav), contentsOf(oneWav));
    }
}

TEST_F(DecoderThreadsTest, AThreadSettingThatIsNotACountFrom1To16IsRefused)
{
    const QString wav = folder.filePath("temp.wav");
    for (const QString setting : {"0", "17", "two", "", "2.5", " 2", "-1"}) {
        SCOPED_TRACE(setting.toStdString());
        writeFile(wav, "the previous conversion's audio");
        const ToolRun run = decode(fixtureFile("music-22k.mp3"), setting, wav);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errorLines(), QStringList("madplay.exe: AMR_DECODER_THREADS is \"" + setting
                                                + "\"; it must be a whole number from 1 to 16"));
        EXPECT_FALSE(QFile::exists(wav));
    }
}
