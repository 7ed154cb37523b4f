// madplay.exe on several threads. (Which streams may be cut into runs is DecodeRunsTest's.)

#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using DecoderThreadsTest = ToolTest;

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
        const std::vector<std::int16_t> one =
            decodedCleanly(fixtureFile(name), environmentWith("AMR_DECODER_THREADS", "1"));
        ASSERT_GT(one.size(), 60000u);
        if (withLameHeaderAndTone) {
            EXPECT_EQ(one.size(), 96000u);
            EXPECT_LT(aliasLevel(one), -100);
        }
        for (const char *threads : {"2", "3", "4"}) {
            SCOPED_TRACE(std::string("on ") + threads + " threads");
            const std::vector<std::int16_t> runs =
                decodedCleanly(fixtureFile(name), environmentWith("AMR_DECODER_THREADS", threads));
            ASSERT_EQ(runs.size(), one.size());
            for (std::size_t i = 0; i < runs.size(); ++i)
                ASSERT_LE(std::abs(runs[i] - one[i]), 2) << "at sample " << i;
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
        const ToolRun run =
            runDecoder(wav, fixtureFile("music-22k.mp3"), environmentWith("AMR_DECODER_THREADS", setting));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errorLines(), QStringList("madplay.exe: AMR_DECODER_THREADS is \"" + setting
                                                + "\"; it must be a whole number from 1 to 16"));
        EXPECT_FALSE(QFile::exists(wav));
    }
}
