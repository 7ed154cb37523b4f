// The decoder's runs in-process: which streams the survey lets runs decode, how a stream's
// samples are cut into runs, that the runs themselves (not a fall-back to one run) write
// the whole stream, and that a run gives up on a file that is not as surveyed.

#include "DecodeRuns.h"
#include "Mp3Survey.h"
#include "OutputFile.h"
#include "PcmAnalysis.h"
#include "SampleRuns.h"
#include "ToolRun.h"
#include "WavWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string fixture(const char *name) { return std::string(FIXTURE_DIR "/") + name; }

} // namespace

TEST(DecodeRuns, TheSurveyLetsOnlyStreamsWithoutDamageBeCut)
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
                ASSERT_FALSE(runs.empty());
                EXPECT_LE(runs.size(), threads);
                EXPECT_EQ(runs.front().from, 0u);
                EXPECT_EQ(runs.back().to, count);
                for (std::size_t i = 0; i < runs.size(); ++i) {
                    const SampleRun &run = runs[i];
                    if (i > 0) {
                        EXPECT_EQ(run.from, runs[i - 1].to);
                        EXPECT_EQ(run.from % period, 0u);
                        EXPECT_EQ(run.warmUpFrom % period, 0u);
                    }
                    if (runs.size() > 1) {
                        EXPECT_GE(run.to - run.from, minimumRun);
                    }
                    // The margins reach past the resampling filter on both sides, where
                    // there are samples, and not much further.
                    EXPECT_GE(run.from - run.warmUpFrom, std::min(run.from, margin));
                    EXPECT_LT(run.from - run.warmUpFrom, margin + period);
                    EXPECT_GE(run.runOutTo - run.to, std::min(count - run.to, margin));
                    EXPECT_LE(run.runOutTo, count);
                }
            }
        }
        // Streams under two runs' length stay in one run.
        EXPECT_EQ(cutIntoSampleRuns(2 * minimumRun - 1, rate, 16).size(), 1u);
    }
}

TEST(DecodeRuns, RunsWriteTheWholeStreamAndGiveUpOnAFileThatIsNotAsSurveyed)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString mp3 = folder.filePath("music.mp3");
    writeFile(mp3, contentsOf(QString::fromStdString(fixture("music-44k.mp3"))));
    const auto survey = Mp3Survey::of(mp3.toStdString());
    ASSERT_TRUE(survey);
    const auto runs = cutIntoSampleRuns(survey->samples(), 44100, 3);
    ASSERT_EQ(runs.size(), 3u);

    // The runs' samples where they join, against one run's.
    const QString wav = folder.filePath("runs.wav");
    {
        auto file = audio::OutputFile::create(wav.toStdString());
        ASSERT_TRUE(file.ok());
        auto writer = audio::WavWriter::start(file.value());
        ASSERT_TRUE(writer.ok());
        const auto written = decodeRuns(mp3.toStdString(), *survey, runs, writer.value());
        ASSERT_TRUE(written.ok()) << written.error().message;
        ASSERT_TRUE(written.value());
        EXPECT_EQ(*written.value(), 96000u);
        ASSERT_FALSE(writer.value().finish(*written.value()));
        ASSERT_FALSE(file.value().commit());
    }
    QProcessEnvironment oneThread = QProcessEnvironment::systemEnvironment();
    oneThread.insert("AMR_DECODER_THREADS", "1");
    const QString oneWav = folder.filePath("one.wav");
    ASSERT_EQ(runTool(DECODER_PATH, {"-m", "-R", "8000", "-b", "16", "-o", "wave:" + oneWav, mp3}, oneThread).exitCode, 0);
    const std::vector<std::int16_t> one = readPcm(oneWav), joined = readPcm(wav);
    ASSERT_EQ(joined.size(), one.size());
    for (const SampleRun &run : runs) {
        const auto join = static_cast<std::ptrdiff_t>(outputSampleAt(run.from, 44100));
        SCOPED_TRACE("join at output sample " + std::to_string(join));
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(join - 400, 0); i < join + 400; ++i)
            EXPECT_LE(std::abs(joined[static_cast<std::size_t>(i)] - one[static_cast<std::size_t>(i)]), 2) << i;
    }

    // Junk where the survey found frames: the runs give up, and the caller decodes in one run.
    QByteArray changed = contentsOf(mp3);
    changed.replace(changed.size() / 2, 300, QByteArray(300, '\x55'));
    writeFile(mp3, changed);
    auto file = audio::OutputFile::create(folder.filePath("changed.wav").toStdString());
    ASSERT_TRUE(file.ok());
    auto writer = audio::WavWriter::start(file.value());
    ASSERT_TRUE(writer.ok());
    const auto written = decodeRuns(mp3.toStdString(), *survey, runs, writer.value());
    ASSERT_TRUE(written.ok()) << written.error().message;
    EXPECT_FALSE(written.value());
}
