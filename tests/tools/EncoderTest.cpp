// converter end to end: the bytes, the frames and the quality of each mode on one thread
// and in runs, every layout of WAV it reads, failed runs; and how it cuts frames into runs.

#include "FrameRuns.h"
#include "MusicSignal.h"
#include "PcmAnalysis.h"
#include "RunsCover.h"
#include "ToolRun.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

namespace {

const QString encoder = QStringLiteral(ENCODER_PATH);

// 15.05 s: long enough to be cut into three runs, and a partial last frame.
constexpr double musicSeconds = 15.05;

// How much the decoding error (decoded minus input, which `decoded` lags by `lag`) stands
// out in the 40 ms decoded from the frames at and after decoded sample `at`, against the
// second around them, in dB. A click at a join is error energy that the one-thread encode
// does not have there.
double clickAt(std::size_t at, const std::vector<std::int16_t> &input,
               const std::vector<std::int16_t> &decoded, std::size_t lag)
{
    const auto errorEnergy = [&](std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += (double(decoded[i]) - input[i - lag]) * (double(decoded[i]) - input[i - lag]);
        return sum / double(to - from);
    };
    return decibels(std::sqrt(errorEnergy(at, at + 320) / errorEnergy(at - 4000, at + 4000)));
}

class EncoderTest : public ToolTest {
protected:
    // Encodes `wavPath` in `mode` on `threads` threads, as AMR_ENCODER_THREADS sets them
    // (when given).
    QByteArray encode(const QString &wavPath, const QString &mode, const QString &threads = {})
    {
        const ToolRun run = runTool(encoder, {"wav2amr", wavPath, amr, mode},
                                    threads.isEmpty() ? QProcessEnvironment::systemEnvironment()
                                                      : environmentWith("AMR_ENCODER_THREADS", threads));
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return contentsOf(amr);
    }

    // Decodes the last encoding through converter amr2wav.
    std::vector<std::int16_t> decodeLast()
    {
        const QString back = folder.filePath("back.wav");
        const ToolRun run = runTool(encoder, {"amr2wav", amr, back});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return readPcm(back);
    }
};

} // namespace

TEST_F(EncoderTest, EachModeKeepsItsBytesOnOneThreadAndItsFramesAndQualityInRunsWithoutAClick)
{
    const std::vector<std::int16_t> music = musicSignal(musicSeconds);
    const QString musicWav = folder.filePath("music.wav");
    writePcm(musicWav, music);
    // SHA-256 of what the encoder writes for musicSignal(15.05) on one thread, byte for
    // byte as before it had threads. A change to musicSignal changes them too; anything
    // else that does is a regression.
    const std::pair<const char *, const char *> modes[] = {
        {"MR475", "f1804e33f79945676746d9406a8de85da4e13edd8c56c64e2529155d87c3f6b8"},
        {"MR515", "c1a5733ba5e989de1bbbdf51e7db153ad9fd6611bead4518a94cd87698b7867e"},
        {"MR59", "ce2e1d9845e085bf0dfa49e95bab177f73d357d9be97f75a1553d0c0c4aaae52"},
        {"MR67", "c8e7c2506facb57456c97181723ceba2abfa7293f804f1c84b6b8f90adf33258"},
        {"MR74", "c023db707e72ffa77e47158e73f6c9f348f5d52e5c56bce6adc456f10831c825"},
        {"MR795", "728ad8169707b6ccb5d2795cdd385f315ad9e4c9dd25eb56882b40803f0d67b4"},
        {"MR102", "d2467f45431e24e4e1f4ea2a200c89b52c8fe7c7e10dcb0e356884cefc8bc4db"},
        {"MR122", "81ed8bc90511d9ea97413013fdb6407f48dc13d0261e5cf55a511afb11a358da"},
    };
    const auto frames = static_cast<qsizetype>((music.size() + 159) / 160);
    const QString samples = QString::number(frames * 160);
    for (const auto &[mode, sha256] : modes) {
        const QByteArray serial = encode(musicWav, mode, "1");
        EXPECT_EQ(QCryptographicHash::hash(serial, QCryptographicHash::Sha256).toHex().toStdString(), sha256) << mode;
        const qsizetype frameBytes = (serial.size() - 6) / frames;
#ifndef _WIN32 // Wine cannot start Debian's sox and read its answer.
        const QString bySox = folder.filePath("sox.wav");
        ASSERT_EQ(runTool("sox", {amr, bySox}).exitCode, 0) << mode;
        EXPECT_EQ(soxInfo(bySox, "-s"), samples) << mode;
#endif
        const auto serialPcm = decodeLast();
        ASSERT_EQ(static_cast<qsizetype>(serialPcm.size()), frames * 160) << mode;
        // The decoded audio lags the input by the encoder's 5 ms look-ahead; measured, so
        // that a wrong alignment cannot pass unnoticed.
        const std::size_t lag = lagBetween(music, serialPcm, 200);
        ASSERT_EQ(lag, 40u) << mode;
        const double serialSnr = segmentalSnr(music, serialPcm, lag);
        for (const int runs : {2, 3}) {
            SCOPED_TRACE(std::string(mode) + " in " + std::to_string(runs) + " runs");
            const QByteArray parallel = encode(musicWav, mode, QString::number(runs));
            ASSERT_EQ(parallel.size(), serial.size());
            // The first run is the one-thread encode's start; after it the encoders differ.
            const qsizetype firstRun = 6 + frames / runs * frameBytes;
            EXPECT_EQ(parallel.first(firstRun), serial.first(firstRun));
            EXPECT_NE(parallel.sliced(firstRun, frameBytes), serial.sliced(firstRun, frameBytes));

            const auto pcm = decodeLast();
            ASSERT_EQ(pcm.size(), serialPcm.size());
            EXPECT_NEAR(segmentalSnr(music, pcm, lag), serialSnr, 0.1);
            for (int join = 1; join < runs; ++join) {
                const auto at = static_cast<std::size_t>(frames * join / runs * 160);
                EXPECT_LT(clickAt(at, music, pcm, lag) - clickAt(at, music, serialPcm, lag), 3)
                    << "at frame " << at / 160;
            }
        }
    }
}

TEST_F(EncoderTest, AnyPcmOrFloatWavIsMixedToMonoAndResampledTo8000Hz)
{
    // 1.5 s of 1 kHz at half of full scale, made by sox: at 8000 Hz, mono, 16-bit, what the
    // encoder takes as it is, then in other layouts; "left only" has a silent right
    // channel, so the mix holds the tone at half the level.
    encode(referenceFile("tone-8k.wav"), "MR122");
    const double nativeLevel = toneAmplitude(between(decodeLast(), 0.2, 1.3), 1000);
    const std::pair<const char *, double> layouts[] = {
        {"tone-44k-stereo.wav", 1},       {"tone-44k-left-only.wav", 0.5}, {"tone-22k-8bit.wav", 1},
        {"tone-16k-24bit.wav", 1},        {"tone-48k-stereo-float.wav", 1}, {"tone-8k-double.wav", 1},
    };
    for (const auto &[file, level] : layouts) {
        SCOPED_TRACE(file);
        // 1.5 s are 75 frames of 20 ms.
        EXPECT_EQ(encode(referenceFile(file), "MR122").size(), 6 + 75 * 32);
        const std::vector<std::int16_t> back = decodeLast();
        const auto part = between(back, 0.2, 1.3);
        EXPECT_NEAR(decibels(toneAmplitude(part, 1000) / (level * nativeLevel)), 0, 0.5);
        EXPECT_GT(std::pow(toneAmplitude(part, 1000), 2) / 2, 0.8 * std::pow(rmsLevel(part), 2));
    }
}

TEST_F(EncoderTest, AFailedRunNamesTheFileAndLeavesTheOldOutputAlone)
{
    const QString muLaw = folder.filePath("mu-law.wav");
    ASSERT_TRUE(QFile::copy(referenceFile("mu-law.wav"), muLaw));
    const QString empty = folder.filePath("empty.wav");
    writePcm(empty, {});
    writePreviousAudio(wav);
    const QString truncatedAmr = folder.filePath("cut.amr"), back = folder.filePath("back.wav");
    ASSERT_EQ(runTool(encoder, {"wav2amr", wav, amr, "MR122"}).exitCode, 0);
    writeFile(truncatedAmr, contentsOf(amr).chopped(5));

    // Each command line, what the line it prints says and the output it leaves as it was.
    // (A file that is no WAV or AMR file is the readers' own tests'; a missing one ToolMessagesTest's.)
    const std::tuple<QStringList, QString, QString> runs[] = {
        {{"wav2amr", muLaw, amr, "MR74"},
         muLaw + ": it holds mu-law audio; the encoder reads PCM or floating-point", amr},
        {{"wav2amr", empty, amr, "MR74"}, empty + ": it holds no audio", amr},
        {{"wav2amr", wav, folder.filePath("gone/x.amr"), "MR74"},
         folder.filePath("gone/x.amr") + ": cannot create a file in its folder: No such file or directory", amr},
        {{"amr2wav", truncatedAmr, back}, truncatedAmr + ": the file ends inside frame 5", back},
    };
    for (const auto &[arguments, expected, output] : runs) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        writeFile(output, "the previous output");
        const ToolRun run = runTool(encoder, arguments);
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.errorLines().size(), 1) << run.errorOutput.toStdString();
        EXPECT_TRUE(run.errorOutput.startsWith("converter: " + expected)) << run.errorOutput.toStdString();
        EXPECT_EQ(contentsOf(output), "the previous output");
    }
    EXPECT_EQ(filesIn(folder.path()),
              QStringList({"back.wav", "cut.amr", "empty.wav", "mu-law.wav", "ring.amr", "temp.wav"}));

    // A thread setting that is not a count, before anything is written. (The decoder's
    // test tries every kind of wrong setting on the tools' shared reading of it.)
    const QByteArray ringtone = contentsOf(amr);
    const ToolRun threads = runTool(encoder, {"wav2amr", wav, amr, "MR74"}, environmentWith("AMR_ENCODER_THREADS", "17"));
    EXPECT_EQ(threads.exitCode, 1);
    EXPECT_EQ(threads.errorLines(),
              QStringList("converter: AMR_ENCODER_THREADS is \"17\"; it must be a whole number from 1 to 16"));
    EXPECT_EQ(contentsOf(amr), ringtone);
}

TEST(FrameRuns, RunsCoverEveryFrameOnceInOrderWithinTheThreadLimit)
{
    for (const std::uint32_t frames : {1u, minimumRunFrames, 2 * minimumRunFrames - 1, 2 * minimumRunFrames,
                                       10 * minimumRunFrames + 7, 180000u /* one hour */}) {
        for (const unsigned threads : {1u, 2u, 3u, 7u, 16u}) {
            SCOPED_TRACE(std::to_string(frames) + " frames, " + std::to_string(threads) + " threads");
            expectRunsCover(cutIntoRuns(frames, threads), frames, threads, minimumRunFrames);
        }
    }
}
