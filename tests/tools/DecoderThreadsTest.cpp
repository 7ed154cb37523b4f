// madplay.exe on several threads: MPEG audio that is cut into runs decodes to what one run
// makes, within a rounding step, at the exact gapless length and with the alias
// suppression of one run; a thread setting that is not a count is refused. Which streams
// may be cut (a damaged one is decoded in one run) is DecodeRunsTest's.

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The largest difference between two decodings of one file, in 16-bit steps.
int largestDifference(const std::vector<std::int16_t> &first, const std::vector<std::int16_t> &second)
{
    int largest = 0;
    for (std::size_t i = 0; i < std::min(first.size(), second.size()); ++i)
        largest = std::max(largest, std::abs(first[i] - second[i]));
    return largest;
}

class DecoderThreadsTest : public ToolTest {
protected:
    // Decodes `input` on `threads` threads, as AMR_DECODER_THREADS sets them.
    ToolRun decode(const QString &input, const QString &threads)
    {
        return runDecoder(wav, input, environmentWith("AMR_DECODER_THREADS", threads));
    }

    // The samples of a decoding that must succeed without a warning.
    std::vector<std::int16_t> decoded(const QString &input, const QString &threads)
    {
        const ToolRun run = decode(input, threads);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.isEmpty()) << run.errorOutput.toStdString();
        return readPcm(wav);
    }
};

} // namespace

TEST_F(DecoderThreadsTest, RunsDecodeWhatOneRunDoesWithinARoundingStep)
{
    // 12 s of music, up to four runs of 3 s: one with a LAME header (exactly 12 s) and a
    // 6 kHz tone from 5 s to 8 s, which would fold down to 2 kHz and which joins fall into;
    // one without, whose tiny frames reach far into the bit reservoir. And 8 s of a loud
    // master in two runs, whose peaks the limiter lowers where the runs join, at 4 s. The
    // runs' resamplers work through their blocks from other starting points, which may
    // round a sample the other way; a click at a join, or a join a sample off, would
    // differ by far more.
    const auto aliasLevel = [](const std::vector<std::int16_t> &samples) {
        return decibels(rmsLevel(between(samples, 5.3, 7.7)) / (0.5 / std::sqrt(2.0)));
    };
    for (const QString name : {"music-44k.mp3", "music-22k.mp3", "loud-music-44k.mp3"}) {
        SCOPED_TRACE(name.toStdString());
        const bool withLameHeaderAndTone = name == "music-44k.mp3";
        const std::vector<std::int16_t> one = decoded(fixtureFile(name), "1");
        ASSERT_GT(one.size(), 60000u);
        if (withLameHeaderAndTone) {
            EXPECT_EQ(one.size(), 96000u);
            EXPECT_LT(aliasLevel(one), -100);
        }
        for (const char *threads : {"2", "3", "4"}) {
            SCOPED_TRACE(std::string("on ") + threads + " threads");
            const std::vector<std::int16_t> runs = decoded(fixtureFile(name), threads);
            ASSERT_EQ(runs.size(), one.size());
            EXPECT_LE(largestDifference(runs, one), 2);
            if (withLameHeaderAndTone) {
                EXPECT_LT(aliasLevel(runs), -100);
            }
        }
    }
}

TEST_F(DecoderThreadsTest, AThreadSettingThatIsNotACountFrom1To16IsRefused)
{
    for (const QString setting : {"0", "17", "two", "", "2.5", " 2", "-1"}) {
        SCOPED_TRACE(setting.toStdString());
        writePreviousAudio(wav);
        const ToolRun run = decode(fixtureFile("music-22k.mp3"), setting);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errorLines(), QStringList("madplay.exe: AMR_DECODER_THREADS is \"" + setting
                                                + "\"; it must be a whole number from 1 to 16"));
        EXPECT_FALSE(QFile::exists(wav));
    }
}
