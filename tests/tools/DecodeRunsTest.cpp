// The decoder's runs: in-process, which streams may be cut into runs and where; end to
// end, madplay.exe on several threads.

#include "DecodeRuns.h"
#include "Mp3Survey.h"
#include "OutputFile.h"
#include "PcmAnalysis.h"
#include "RunsCover.h"
#include "SampleRuns.h"
#include "ToolRun.h"
#include "WavWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string fixture(const char *name) { return fixtureFile(name).toStdString(); }

using DecoderThreadsTest = ToolTest;

} // namespace

TEST(DecodeRuns, TheSurveyLetsOnlyStreamsWithoutDamageBeCutAndCountsTheirSamplesAsOneRun)
{
    for (const char *clean : {"music-44k.mp3", "music-22k.mp3", "undamaged.mp3", "tagged-32k.mp3", "noise-after.mp3",
                              "stray-byte-after.mp3", "mpeg25-mono-11k.mp3"})
        EXPECT_TRUE(Mp3Survey::of(fixture(clean))) << clean;
    for (const char *damaged : {"junk-between-frames.mp3", "junk-inside-a-frame.mp3", "last-frame-cut.mp3",
                                "download-cut.mp3", "lame-header-announces-more.mp3", "joined-mono-stereo.mp3",
                                "joined-44k-48k.mp3", "tone.flac", "missing.mp3"})
        EXPECT_FALSE(Mp3Survey::of(fixture(damaged))) << damaged;

    // The gapless cuts are those of one run: exactly 12 s remain at 44.1 kHz.
    const auto music = Mp3Survey::of(fixture("music-44k.mp3"));
    ASSERT_TRUE(music);
    EXPECT_EQ(music->samples(), 12u * 44100u);
    // Anything after the last frame is no audio, in runs as in one run.
    for (const char *after : {"noise-after.mp3", "stray-byte-after.mp3"})
        EXPECT_EQ(Mp3Survey::of(fixture(after)).value().samples(), Mp3Survey::of(fixture("undamaged.mp3")).value().samples());

    // A tag between two frames, which no fixture has, is damage too.
    QTemporaryDir folder;
    const QString tagged = folder.filePath("tagged.mp3");
    const auto middle = static_cast<qsizetype>(music->checkpointBefore(music->audioFrames() / 2).offset);
    writeFile(tagged, contentsOf(fixtureFile("music-44k.mp3")).insert(middle, QByteArray("ID3\x04\0\0\0\0\0\x0A", 10) + QByteArray(10, '\0')));
    EXPECT_FALSE(Mp3Survey::of(tagged.toStdString()));
}

TEST(DecodeRuns, RunsCoverEverySampleOnceInOrderAndCutWhereTheResamplersPhaseIsWhole)
{
    for (const int rate : {8000, 11025, 16000, 22050, 32000, 44100, 48000}) {
        const auto period = inputPeriod(rate);
        // A period of input makes a whole number of output samples.
        EXPECT_EQ(outputSampleAt(period, rate) * static_cast<std::uint64_t>(rate), period * 8000u) << rate;
        const auto margin = static_cast<std::uint64_t>(warmUpSeconds * rate);
        const auto minimumRun = static_cast<std::uint64_t>(minimumRunSeconds * rate);
        for (const std::uint64_t count : {std::uint64_t{1}, 2 * minimumRun - 1, 2 * minimumRun, 10 * minimumRun + 7,
                                          3600u * static_cast<std::uint64_t>(rate)}) {
            for (const unsigned threads : {1u, 2u, 3u, 16u}) {
                SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(count) + " samples, "
                             + std::to_string(threads) + " threads");
                const std::vector<SampleRun> runs = cutIntoSampleRuns(count, rate, threads);
                expectRunsCover(runs, count, threads, minimumRun);
                for (const SampleRun &run : runs) {
                    EXPECT_EQ(run.from % period, 0u);
                    EXPECT_EQ(run.warmUpFrom % period, 0u);
                    // The margins reach past the resampling filter on both sides, where
                    // there are samples, and not much further.
                    EXPECT_GE(run.from - run.warmUpFrom, std::min(run.from, margin));
                    EXPECT_LT(run.from - run.warmUpFrom, margin + period);
                    EXPECT_GE(run.runOutTo - run.to, std::min(count - run.to, margin));
                    EXPECT_LE(run.runOutTo, count);
                }
            }
        }
    }
}

TEST(DecodeRuns, RunsDecodeTheWholeStreamButGiveUpOnAFileThatIsNotAsSurveyed)
{
    QTemporaryDir folder;
    const QString mp3 = folder.filePath("music.mp3");
    QByteArray bytes = contentsOf(fixtureFile("music-44k.mp3"));
    writeFile(mp3, bytes);
    const auto survey = Mp3Survey::of(mp3.toStdString());
    ASSERT_TRUE(survey);
    const auto runs = cutIntoSampleRuns(survey->samples(), 44100, 3);
    ASSERT_EQ(runs.size(), 3u);
    const auto decodeInRuns = [&] {
        auto file = audio::OutputFile::create(folder.filePath("runs.wav").toStdString());
        const auto writer = audio::WavWriter::start(file.value());
        return decodeRuns(mp3.toStdString(), *survey, runs, writer.value());
    };
    const auto whole = decodeInRuns();
    ASSERT_TRUE(whole.ok()) << whole.error().message;
    EXPECT_EQ(whole.value(), 96000u);

    // Junk where the survey found frames: the runs give up, and the caller decodes in one run.
    writeFile(mp3, bytes.replace(bytes.size() / 2, 300, QByteArray(300, '\x55')));
    const auto changed = decodeInRuns();
    ASSERT_TRUE(changed.ok()) << changed.error().message;
    EXPECT_FALSE(changed.value());
}

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
