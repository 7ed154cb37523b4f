// converter wav2amr on several threads: the one-thread path writes the same bytes as the
// encoder always has, and cutting the audio into runs neither changes the frames' count
// nor costs quality, nor clicks where the runs meet. That short inputs stay in one run is
// FrameRunsTest's.

#include "MusicSignal.h"
#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

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

class EncoderThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        writePcm(wav, music);
    }

    // Encodes the music in `mode` on `threads` threads, as AMR_ENCODER_THREADS sets them.
    QByteArray encode(const QString &mode, const QString &threads)
    {
        const ToolRun run = runTool(ENCODER_PATH, {"wav2amr", wav, amr, mode},
                                    environmentWith("AMR_ENCODER_THREADS", threads));
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return contentsOf(amr);
    }

    // Decodes the last encoding through converter amr2wav.
    std::vector<std::int16_t> decodeLast()
    {
        const QString back = folder.filePath("back.wav");
        const ToolRun run = runTool(ENCODER_PATH, {"amr2wav", amr, back});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return readPcm(back);
    }

    QTemporaryDir folder;
    QString wav = folder.filePath("music.wav");
    QString amr = folder.filePath("song.amr");
    std::vector<std::int16_t> music = musicSignal(musicSeconds);
};

} // namespace

TEST_F(EncoderThreadsTest, RunsKeepTheSerialFramesCountAndQualityAndDoNotClickWhereTheyJoin)
{
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
    for (const auto &[mode, sha256] : modes) {
        const QByteArray serial = encode(mode, "1");
        EXPECT_EQ(QCryptographicHash::hash(serial, QCryptographicHash::Sha256).toHex().toStdString(), sha256) << mode;
        const qsizetype frameBytes = (serial.size() - 6) / frames;
        const auto serialPcm = decodeLast();
        // The decoded audio lags the input by the encoder's 5 ms look-ahead; measured, so
        // that a wrong alignment cannot pass unnoticed.
        const std::size_t lag = lagBetween(music, serialPcm, 200);
        ASSERT_EQ(lag, 40u) << mode;
        const double serialSnr = segmentalSnr(music, serialPcm, lag);
        for (const int runs : {2, 3}) {
            SCOPED_TRACE(std::string(mode) + " in " + std::to_string(runs) + " runs");
            const QByteArray parallel = encode(mode, QString::number(runs));
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

TEST_F(EncoderThreadsTest, AThreadSettingThatIsNotACountIsRefusedAndTheOldOutputKept)
{
    // The decoder's test tries every kind of wrong setting on the tools' shared reading
    // of it; this one, that the encoder reads its own and stops before it writes.
    writeFile(amr, "the previous ringtone");
    const ToolRun run = runTool(ENCODER_PATH, {"wav2amr", wav, amr, "MR74"}, environmentWith("AMR_ENCODER_THREADS", "17"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errorLines(),
              QStringList("converter: AMR_ENCODER_THREADS is \"17\"; it must be a whole number from 1 to 16"));
    EXPECT_EQ(contentsOf(amr), "the previous ringtone");
}
