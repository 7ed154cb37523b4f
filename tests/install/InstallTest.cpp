// The installation as `cmake --install` lays it out under a fresh prefix: the installed
// program's tool folder converts an MP3 through the installed script runner, and the
// desktop entry starts the installed program with the application icon.

#include "PcmAnalysis.h"
#include "ScriptWriter.h"
#include "ToolFolder.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    // The application directory the installed program finds its tools from.
    static QString bin() { return prefix + "/bin"; }

    static inline std::unique_ptr<QTemporaryDir> folder;
    static inline QString prefix;
    static inline ToolRun install;
};

QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    for (const QByteArray &line : contentsOf(path).split('\n')) {
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            keys.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return keys;
}

// Every image of `size` by `size` pixels in the application icon file, as Qt reads them.
QList<QImage> iconImages(int size)
{
    QImageReader reader(QStringLiteral(APPLICATION_ICON));
    QList<QImage> images;
    for (int index = 0; index < reader.imageCount(); ++index) {
        reader.jumpToImage(index);
        if (const QImage image = reader.read(); image.size() == QSize(size, size))
            images.append(image.convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

bool hasSoftEdges(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (const int alpha = qAlpha(image.pixel(x, y)); alpha > 0 && alpha < 255)
                return true;
        }
    }
    return false;
}

} // namespace

TEST_F(InstalledProgram, ItsToolFolderConvertsAnMp3ThroughItsScriptRunner)
{
    const ToolFolder tools(bin());
    for (const QString &program : {tools.scriptRunnerPath(), tools.decoderPath(), tools.encoderPath()})
        EXPECT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();

    const QString mp3 = folder->filePath("tone.mp3");
    const QString amr = folder->filePath("tone.amr");
    ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/vbr-48k.mp3"), mp3));
    ASSERT_EQ(writeConversionScript(tools, {mp3, amr, QStringLiteral("7.4")}), std::nullopt);
    const ToolRun conversion = runTool(tools.scriptRunnerPath(), {tools.scriptPath()});
    EXPECT_EQ(conversion.exitCode, 0) << conversion.errorOutput.toStdString();

    // 1.5 s are 75 frames of 20 ms, 20 bytes each at 7.4 kbit/s, behind the magic.
    const QByteArray amrBytes = contentsOf(amr);
    EXPECT_TRUE(amrBytes.startsWith("#!AMR\n"));
    EXPECT_EQ(amrBytes.size(), 6 + 75 * 20);

    const QString wav = folder->filePath("tone.wav");
    ASSERT_EQ(runTool(tools.encoderPath(), {"amr2wav", amr, wav}).exitCode, 0);
    const std::vector<std::int16_t> samples = readPcm(wav);
    EXPECT_EQ(samples.size(), 75u * 160u);
    EXPECT_GT(toneAmplitude(between(samples, 0.2, 1.2), 1000), 0.25);
}

TEST_F(InstalledProgram, ItsDecoderReadsOtherFormatsAlsoThroughALinkFromAnotherFolder)
{
    // The personal tool folder of a user who may not write into the installed one holds
    // links to the installed tools: the decoder must still find its FFmpeg module.
    const ToolFolder installed(bin());
    const QString personal = folder->filePath("personal");
    ASSERT_TRUE(QDir().mkpath(personal));
    const QString link = personal + "/madplay.exe";
    ASSERT_TRUE(QFile::link(installed.decoderPath(), link));
    for (const QString &decoder : {installed.decoderPath(), link}) {
        SCOPED_TRACE(decoder.toStdString());
        const QString wav = folder->filePath("flac.wav");
        const ToolRun run = runTool(decoder, {"-m", "-R", "8000", "-b", "16", "-o", "wave:" + wav,
                                              QStringLiteral(FIXTURE_DIR "/tone.flac")});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();
        EXPECT_GT(toneAmplitude(between(readPcm(wav), 0.3, 1.2), 1000), 0.4);
    }
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

    const QMap<QString, QString> keys = desktopEntry(entry);
    EXPECT_EQ(keys.value("Name"), "Free Tarvik AMR Format Converter");
    EXPECT_EQ(keys.value("Terminal"), "false");
    EXPECT_TRUE(QFileInfo(bin() + "/" + keys.value("Exec")).isExecutable()) << keys.value("Exec").toStdString();

    const QString icon = keys.value("Icon");
    ASSERT_FALSE(icon.isEmpty());
    for (const int size : {16, 24, 32, 48}) {
        SCOPED_TRACE(size);
        const QImage png(QString("%1/share/icons/hicolor/%2x%2/apps/%3.png").arg(prefix).arg(size).arg(icon));
        ASSERT_EQ(png.size(), QSize(size, size));
        // The 32-bit image of the icon file, not the 8-bit one with its hard edges.
        EXPECT_TRUE(iconImages(size).contains(png.convertToFormat(QImage::Format_ARGB32)));
        EXPECT_TRUE(hasSoftEdges(png));
    }
}
