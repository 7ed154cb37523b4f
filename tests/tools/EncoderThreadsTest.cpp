// converter wav2amr on several threads: the one-thread path writes the same bytes as the
// encoder always has, and cutting the audio into runs neither changes the frames' count
// nor costs quality, nor clicks where the runs meet.

#include "MusicSignal.h"
#include "PcmAnalysis.h"
#include "ToolRun.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString encoder = QStringLiteral(ENCODER_PATH);

// 15.05 s: long enough to be cut into three runs, and a partial last frame.
constexpr double musicSeconds = 15.05;

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
