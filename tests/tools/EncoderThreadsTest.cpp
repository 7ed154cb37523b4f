// converter wav2amr on several threads: the one-thread path writes the same bytes as the
// encoder always has, and cutting the audio into runs neither changes the frames' count
// nor costs quality, nor clicks where the runs meet.

#include "MusicSignal.h"
#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString encoder = QStringLiteral(ENCODER_PATH);

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

    // Encodes `input` in `mode` on `threads` threads, as AMR_ENCODER_THREADS sets them.
    QByteArray encode(const QString &input, const QString &mode, const QString &threads)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AMR_ENCODER_THREADS", threads);
        const QString amr = folder.filePath("song.amr");
        const ToolRun run = runTool(encoder, {"wav2amr", input, amr, mode}, environment);
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return contentsOf(amr);
    }

    // Decodes an AMR file's bytes through converter amr2wav.
    std::vector<std::int16_t> decode(const QByteArray &amr)
    {
        const QString amrPath = folder.filePath("decode.amr");
        const QString back = folder.filePath("back.wav");
        writeFile(amrPath, amr);
        const ToolRun run = runTool(encoder, {"amr2wav", amrPath, back});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        return readPcm(back);
    }

    QTemporaryDir folder;
    QString wav = folder.filePath("music.wav");
    std::vector<std::int16_t> music = musicSignal(musicSeconds);
};

} // namespace

TEST_F(EncoderThreadsTest, OneThreadWritesTheBytesOfTheSerialEncoder)
{
    // SHA-256 of what the encoder wrote for musicSignal(15.05) before it had threads. A
    // change to musicSignal changes them too; anything else that does is a regression.
    const std::pair<const char *, const char *> expected[] = {
        {"MR475", "5d11594c1c2cf2172b2699076a3f558a8bdb8b8727db4b93bfa231a7907f40a5"},
        {"MR515", "6171f9f6c43b87951fba75d6b9a41a2eaedeeda327ee6b73627b0d39d20770d9"},
        {"MR59", "afe3463bf874daa4b80c98c9d36012092ece8ee27631034206fa63c1bc733a25"},
        {"MR67", "4eb0065a3887b5bb09c20ad8efbf37bfcbb7b498ab9456e6c6a5535505be5e4c"},
        {"MR74", "ab49274dde477780f94a8e4a56bd1f2447689b5279802cbdbb40f65ea2834309"},
        {"MR795", "948213b585b79a444af51b19aa9a7cbdc944f8d922fb92e5e0e1b6034edc2b67"},
        {"MR102", "466849077bc2c54ca8e88bfe40ba41d5b7ac94c01ff17316c540e74e3adcaa1b"},
        {"MR122", "aa3cbd82570034e4d2c72a8b383b4c67f84d67bbced7a50e39f9b55dd7051cb1"},
    };
    for (const auto &[mode, sha256] : expected) {
        const QByteArray amr = encode(wav, mode, "1");
        EXPECT_EQ(QCryptographicHash::hash(amr, QCryptographicHash::Sha256).toHex(), sha256) << mode;
    }
}

TEST_F(EncoderThreadsTest, RunsKeepTheFrameCountAndTheQualityAndDoNotClickWhereTheyJoin)
{
    const std::size_t frames = (music.size() + 159) / 160;
    const std::pair<const char *, int> modes[] = {{"MR475", 13}, {"MR515", 14}, {"MR59", 16}, {"MR67", 18},
                                                  {"MR74", 20},  {"MR795", 21}, {"MR102", 27}, {"MR122", 32}};
    for (const auto &[mode, frameBytes] : modes) {
        const QByteArray serial = encode(wav, mode, "1");
        const auto serialPcm = decode(serial);
        // The decoded audio lags the input by the encoder's 5 ms look-ahead; measured, so
        // that a wrong alignment cannot pass unnoticed.
        const std::size_t lag = lagBetween(music, serialPcm, 200);
        ASSERT_EQ(lag, 40u) << mode;
        const double serialSnr = segmentalSnr(music, serialPcm, lag);
        for (const int runs : {2, 3}) {
            SCOPED_TRACE(std::string(mode) + " in " + std::to_string(runs) + " runs");
            const QByteArray parallel = encode(wav, mode, QString::number(runs));
            ASSERT_EQ(parallel.size(), 6 + static_cast<qsizetype>(frames) * frameBytes);
            // The first run is the one-thread encode's start; after it the encoders differ.
            const qsizetype firstRun = 6 + static_cast<qsizetype>(frames / runs) * frameBytes;
            EXPECT_EQ(parallel.first(firstRun), serial.first(firstRun));
            EXPECT_NE(parallel.sliced(firstRun, frameBytes), serial.sliced(firstRun, frameBytes));

            const auto pcm = decode(parallel);
            ASSERT_EQ(pcm.size(), serialPcm.size());
            EXPECT_NEAR(segmentalSnr(music, pcm, lag), serialSnr, 0.1);
            for (int join = 1; join < runs; ++join) {
                const std::size_t at = frames * join / runs * 160;
                EXPECT_LT(clickAt(at, music, pcm, lag) - clickAt(at, music, serialPcm, lag), 3)
                    << "at frame " << at / 160;
            }
        }
    }
}

TEST_F(EncoderThreadsTest, InputsOfAFewSecondsStayInOneRun)
{
    // 5.9 s: too short for two runs of 3 s, however many threads are allowed.
    const QString shortWav = folder.filePath("short.wav");
    writePcm(shortWav, std::span(music).first(47200));
    EXPECT_EQ(encode(shortWav, "MR122", "16"), encode(shortWav, "MR122", "1"));
}

TEST_F(EncoderThreadsTest, AThreadSettingThatIsNotACountFrom1To16IsRefused)
{
    const QString amr = folder.filePath("song.amr");
    for (const QString setting : {"0", "17", "two", "", "2.5", " 2", "-1"}) {
        SCOPED_TRACE(setting.toStdString());
        writeFile(amr, "the previous ringtone");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("AMR_ENCODER_THREADS", setting);
        const ToolRun run = runTool(encoder, {"wav2amr", wav, amr, "MR74"}, environment);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errorLines(), QStringList("converter: AMR_ENCODER_THREADS is \"" + setting
                                                + "\"; it must be a whole number from 1 to 16"));
        EXPECT_EQ(contentsOf(amr), "the previous ringtone");
    }
}
