// The conversion script as the program writes it, run on the real decoder and encoder
// by the command interpreter on Windows and by batchrun elsewhere: an MP3 becomes an
// AMR file of its music, and a bad MP3 after a good one leaves no AMR file made from
// the earlier conversion's audio.

#include "ConversionScript.h"
#include "PcmAnalysis.h"
#include "TestInstallation.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class ConversionScriptRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid());
        ASSERT_TRUE(QDir(tools.applicationDirectory()).mkpath("my music"));
        ASSERT_TRUE(installation.addBuiltTools());
    }

    ToolRun convert(const QString &mp3, const QString &amr)
    {
        const auto script = ConversionScript::text(tools, {mp3, amr, QStringLiteral("7.4")});
        EXPECT_TRUE(script.ok());
        QFile file(tools.scriptPath());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.value());
        file.close();
#ifdef _WIN32
        // Started as the program starts it, but waited for.
        QProcess interpreter;
        interpreter.setProgram(qEnvironmentVariable("ComSpec", "cmd.exe"));
        interpreter.setNativeArguments("/c \"\"" + tools.scriptPath() + "\"\"");
        interpreter.start();
        if (!interpreter.waitForFinished(120000)) {
            ADD_FAILURE() << "the command interpreter did not finish the script";
            return {};
        }
        return {interpreter.exitCode(), QString::fromLocal8Bit(interpreter.readAllStandardError())};
#else
        return runTool(BATCHRUN_PATH, {tools.scriptPath()});
#endif
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    QString music = installation.filePath("my music");
};

} // namespace

TEST_F(ConversionScriptRunTest, AnMp3BecomesAnAmrFileAndABadOneAfterItBecomesNothing)
{
    const QString mp3 = QDir::toNativeSeparators(music + "/100% tone.mp3");
    ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/vbr-48k.mp3"), mp3));
    const QString amr = QDir::toNativeSeparators(music + "/100% tone.amr");
    EXPECT_EQ(convert(mp3, amr).exitCode, 0);
    // 1.5 s are 75 frames of 20 ms, 20 bytes each at 7.4 kbit/s.
    EXPECT_EQ(QFileInfo(amr).size(), 6 + 75 * 20);
#ifndef _WIN32
    EXPECT_EQ(soxInfo(amr, "-s"), "12000");
#endif
    // The music's 1 kHz tone at half of full scale comes back through the encoder's own
    // decoder, a little weaker.
    const QString back = installation.filePath("back.wav");
    ASSERT_EQ(runTool(ENCODER_PATH, {"amr2wav", amr, back}).exitCode, 0);
    const std::vector<std::int16_t> samples = readPcm(back);
    EXPECT_EQ(samples.size(), 12000u);
    EXPECT_GT(toneAmplitude(between(samples, 0.2, 1.2), 1000), 0.25);

    const QString bad = music + "/bad.mp3";
    writeFile(bad, "no audio here\n");
    const QString badAmr = music + "/bad.amr";
    convert(bad, badAmr);
    EXPECT_FALSE(QFile::exists(badAmr));
    EXPECT_FALSE(QFile::exists(tools.wavPath()));
}
