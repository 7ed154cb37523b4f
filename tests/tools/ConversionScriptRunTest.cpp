// The conversion script as the program writes it, run by batchrun on the real decoder
// and encoder: an MP3 becomes an AMR file, and a bad MP3 after a good one leaves no
// AMR file made from the earlier conversion's audio.

#include "ConversionScript.h"
#include "ToolFolder.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConversionScriptRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appFolder.isValid());
        ASSERT_TRUE(QDir(appFolder.path()).mkpath("amr"));
        ASSERT_TRUE(QDir(appFolder.path()).mkpath("my music"));
        ASSERT_TRUE(QFile::copy(DECODER_PATH, tools.decoderPath()));
        ASSERT_TRUE(QFile::copy(ENCODER_PATH, tools.encoderPath()));
#ifdef FFMPEG_MODULE_PATH
        // The decoder reads formats other than MP3 through its module beside it.
        const QString module = QStringLiteral(FFMPEG_MODULE_PATH);
        ASSERT_TRUE(QFile::copy(module, QFileInfo(tools.decoderPath()).dir().filePath(QFileInfo(module).fileName())));
#endif
    }

    ToolRun convert(const QString &mp3, const QString &amr)
    {
        const auto script = ConversionScript::text(tools, {mp3, amr, QStringLiteral("7.4")});
        EXPECT_TRUE(script.ok());
        QFile file(tools.scriptPath());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.value());
        file.close();
        return runTool(BATCHRUN_PATH, {tools.scriptPath()});
    }

    QTemporaryDir appFolder;
    ToolFolder tools{appFolder.path(), u'/'};
    QString music = appFolder.filePath("my music");
};

} // namespace

TEST_F(ConversionScriptRunTest, AnMp3BecomesAnAmrFileAndABadOneAfterItBecomesNothing)
{
    const QString mp3 = music + "/100% tone.mp3";
    ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/vbr-48k.mp3"), mp3));
    const QString amr = music + "/100% tone.amr";
    EXPECT_EQ(convert(mp3, amr).exitCode, 0);
    // 1.5 s are 75 frames of 20 ms, 20 bytes each at 7.4 kbit/s.
    EXPECT_EQ(QFileInfo(amr).size(), 6 + 75 * 20);
    EXPECT_EQ(soxInfo(amr, "-s"), "12000");

    const QString bad = music + "/bad.mp3";
    writeFile(bad, "no audio here\n");
    const QString badAmr = music + "/bad.amr";
    convert(bad, badAmr);
    EXPECT_FALSE(QFile::exists(badAmr));
    EXPECT_FALSE(QFile::exists(tools.wavPath()));
}

TEST_F(ConversionScriptRunTest, OtherFormatsAndDamagedMp3FilesBecomeAmrFilesToo)
{
    // The script is the same for every input: the decoder tells the format by content
    // (other formats than MP3 in builds with FFmpeg).
    const std::vector<std::pair<const char *, const char *>> inputs = {
#ifdef FFMPEG_MODULE_PATH
        {"tone.flac", "song.flac"},
        {"video.webm", "clip.webm"},
        {"tone.m4a", "named-wrongly.mp3"},
#endif
        {"lame-header-announces-more.mp3", "cut.mp3"},
    };
    for (const auto &[fixture, name] : inputs) {
        SCOPED_TRACE(name);
        const QString input = music + "/" + name;
        ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/") + fixture, input));
        const QString amr = music + "/" + QFileInfo(name).completeBaseName() + ".amr";
        EXPECT_EQ(convert(input, amr).exitCode, 0);
        // As long as the sound, in 20 ms frames: 1.5 s, or the 2 s left of the cut file.
        const double seconds = soxInfo(amr, "-D").toDouble();
        EXPECT_NEAR(seconds, QString(name) == "cut.mp3" ? 2.0 : 1.5, 0.1);
    }
}
