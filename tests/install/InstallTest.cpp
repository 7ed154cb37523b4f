// The installation as `cmake --install` lays it out under a fresh prefix: the installed
// program's tool folder converts an MP3 through the installed script runner, and the
// desktop entry starts the installed program with the application icon. What the tools
// make of the music is the tools' tests' to check.

#include "PcmAnalysis.h"
#include "ScriptWriter.h"
#include "ToolFolder.h"
#include "ToolRun.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class InstalledProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        // A blank in the prefix, as in "Program Files", must survive the script's quoting.
        prefix = folder->filePath("installed program");
        install = runTool(CMAKE_COMMAND, {"--install", BUILD_DIR, "--prefix", prefix});
    }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(folder->isValid());
        ASSERT_EQ(install.exitCode, 0) << install.errorOutput.toStdString();
    }

    static inline std::unique_ptr<QTemporaryDir> folder;
    static inline QString prefix;
    static inline ToolRun install;
    // The tool folder of the installed program, which finds it beside itself.
    const ToolFolder tools{prefix + "/bin"};
};

// The images of `size` by `size` pixels in the application icon file with soft edges
// (pixels partly see-through): its 32-bit images, not the 8-bit ones with hard edges.
QList<QImage> softIconImages(int size)
{
    QImageReader reader(QStringLiteral(APPLICATION_ICON));
    QList<QImage> images;
    for (int index = 0; index < reader.imageCount(); ++index) {
        reader.jumpToImage(index);
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constBits());
        if (image.size() == QSize(size, size) && std::any_of(pixels, pixels + size * size, [](QRgb pixel) {
                return qAlpha(pixel) > 0 && qAlpha(pixel) < 255;
            }))
            images.append(image);
    }
    return images;
}

} // namespace

TEST_F(InstalledProgram, ItsToolFolderConvertsAnMp3ThroughItsScriptRunner)
{
    const QString mp3 = folder->filePath("tone.mp3"), amr = folder->filePath("tone.amr");
    ASSERT_TRUE(QFile::copy(fixtureFile("vbr-48k.mp3"), mp3));
    ASSERT_EQ(writeConversionScript(tools, {mp3, amr, QStringLiteral("7.4")}), std::nullopt);
    const ToolRun conversion = runTool(tools.scriptRunnerPath(), {tools.scriptPath()});
    EXPECT_EQ(conversion.exitCode, 0) << conversion.errorOutput.toStdString();
    // 1.5 s are 75 frames of 20 ms, 20 bytes each at 7.4 kbit/s, behind the magic.
    const QByteArray made = contentsOf(amr);
    EXPECT_TRUE(made.startsWith("#!AMR\n"));
    EXPECT_EQ(made.size(), 6 + 75 * 20);
}

TEST_F(InstalledProgram, ItsDecoderFindsItsFfmpegModuleAlsoThroughALinkFromAnotherFolder)
{
    // The personal tool folder of a user who may not write into the installed one holds
    // links to the installed tools: the decoder must still find its FFmpeg module.
    const QString link = folder->filePath("madplay.exe"), wav = folder->filePath("flac.wav");
    ASSERT_TRUE(QFile::link(tools.decoderPath(), link));
    const ToolRun run = runTool(link, decoderArguments(wav, fixtureFile("tone.flac")));
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
    EXPECT_GT(toneAmplitude(between(readPcm(wav), 0.3, 1.2), 1000), 0.4);
}

TEST_F(InstalledProgram, ItsDesktopEntryStartsTheProgramWithTheApplicationIcon)
{
    const QString entry = prefix + "/share/applications/amrconvert.desktop";
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(QStringLiteral("desktop-file-validate"), {entry});
    ASSERT_TRUE(validator.waitForFinished(60000));
    EXPECT_EQ(validator.exitCode(), 0);
    EXPECT_EQ(validator.readAll().toStdString(), "");

    QSettings keys(entry, QSettings::IniFormat);
    keys.beginGroup("Desktop Entry");
    EXPECT_EQ(keys.value("Name").toString().toStdString(), "Free Tarvik AMR Format Converter");
    EXPECT_EQ(keys.value("Terminal").toString().toStdString(), "false");
    const QString program = tools.applicationDirectory() + "/" + keys.value("Exec").toString();
    EXPECT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    const QString icon = keys.value("Icon").toString();
    ASSERT_FALSE(icon.isEmpty());
    for (const int size : {16, 24, 32, 48}) {
        SCOPED_TRACE(size);
        const QImage png(QString("%1/share/icons/hicolor/%2x%2/apps/%3.png").arg(prefix).arg(size).arg(icon));
        EXPECT_TRUE(softIconImages(size).contains(png.convertToFormat(QImage::Format_ARGB32)));
    }
}
