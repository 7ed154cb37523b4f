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
        {"MR475", "3d8a22bf45a351e0478f21a5c1907933b259b1506e67fb58ddd900539ac9c634"},
        {"MR515", "92b25422ab722b4644074ae94f86cb387fb962da807aab3ec90566baa85bc3a0"},
        {"MR59", "f7760c39e58ac3d0678380d78143d48117ec094075496853a1c30aefc8ca2719"},
        {"MR67", "d0d9c4ac3804d3337ce1e1cb7a1fbf10217dff7e6071a5692a24f67842f1006a"},
        {"MR74", "b1a763e5c36167f0daaa161e2ef8106c4c953525dc15c5245e4efa4f8db4f4c0"},
        {"MR795", "79c8f070bf739aa07f7bedc94f9e0b1f9937930f1842d7070ebfd520321a360e"},
        {"MR102", "13d744b5767f04ecc499a8ec0dadb163b33dd44c441de68a089904989773df03"},
        {"MR122", "61487b113de8960d2c11349576fe18fa3f77679dbfb13c526fd69a73a5c9d171"},
    };
    for (const auto &[mode, sha256] : expected) {
        const QByteArray amr = encode(wav, mode, "1");
        EXPECT_EQ(QCryptographicHash::hash(amr, QCryptographicHash::Sha256).toHex(), sha256) << mode;
    }
}
