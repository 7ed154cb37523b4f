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

// The mean energy of the decoding error (decoded minus input, which `decoded` lags by
// `lag`) in decoded samples `from` to `to`.
double errorEnergy(const std::vector<std::int16_t> &input, const std::vector<std::int16_t> &decoded,
                   std::size_t lag, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double error = double(decoded[i]) - input[i - lag];
        sum += error * error;
    }
    return sum / (to - from);
}

// How much the decoding error stands out in the 40 ms decoded from the frames at and after
// decoded sample `at`, against the second around them, in dB. A click at a join is error
// energy that the one-thread encode does not have there.
double clickAt(std::size_t at, const std::vector<std::int16_t> &input,
               const std::vector<std::int16_t> &decoded, std::size_t lag)
{
    return decibels(std::sqrt(errorEnergy(input, decoded, lag, at, at + 320)
                              / errorEnergy(input, decoded, lag, at - 4000, at + 4000)));
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
    // SHA-256 of what the encoder wrote for musicSignal(15.05) on one thread before it had
    // threads. A change to musicSignal changes them too; anything else that does is a
    // regression.
    const std::pair<const char *, const char *> modes[] = {
        {"MR475", "5d11594c1c2cf2172b2699076a3f558a8bdb8b8727db4b93bfa231a7907f40a5"},
        {"MR515", "6171f9f6c43b87951fba75d6b9a41a2eaedeeda327ee6b73627b0d39d20770d9"},
        {"MR59", "afe3463bf874daa4b80c98c9d36012092ece8ee27631034206fa63c1bc733a25"},
        {"MR67", "4eb0065a3887b5bb09c20ad8efbf37bfcbb7b498ab9456e6c6a5535505be5e4c"},
        {"MR74", "ab49274dde477780f94a8e4a56bd1f2447689b5279802cbdbb40f65ea2834309"},
        {"MR795", "948213b585b79a444af51b19aa9a7cbdc944f8d922fb92e5e0e1b6034edc2b67"},
        {"MR102", "466849077bc2c54ca8e88bfe40ba41d5b7ac94c01ff17316c540e74e3adcaa1b"},
        {"MR122", "aa3cbd82570034e4d2c72a8b383b4c67f84d67bbced7a50e39f9b55dd7051cb1"},
    };
    const auto frames = static_cast<qsizetype>((music.size() + 159) / 160);
    for (const auto &[mode, sha256] : modes) {
        const QByteArray serial = encode(mode, "1");
        EXPECT_EQ(QCryptographicHash::hash(serial, QCryptographicHash::Sha256).toHex(), sha256) << mode;
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
