// Conversions as a user makes them, on the real tools: Browse input picks the music,
// Convert hands the request to the queue, and the AMR file appears beside the music.

#include "ConversionQueue.h"
#include "FileDialog.h"
#include "MessageBoxCatcher.h"
#include "MainWindow.h"
#include "NoDisplay.h"
#include "TestInstallation.h"
#include "TestFiles.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ConversionEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && music.isValid());
        ASSERT_TRUE(installation.addScriptRunner());
        ASSERT_TRUE(installation.addBuiltTools());
        window.fileDialog().setChooser([this](FileDialog::Mode, const FileDialog &) { return chosen; });
    }

    QString musicFile(const QString &fixture, const QString &name)
    {
        const QString path = QDir::toNativeSeparators(music.filePath(name));
        EXPECT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/") + fixture, path));
        return path;
    }

    void browseInput(const QString &path)
    {
        chosen = path;
        QTest::mouseClick(window.findChild<QWidget *>("cmdInput"), Qt::LeftButton);
    }
    void convert() { QTest::mouseClick(window.findChild<QWidget *>("cmdConvert"), Qt::LeftButton); }
    void waitUntilIdle()
    {
        if (!queue.isIdle()) {
            QSignalSpy idle(&queue, &ConversionQueue::idle);
            ASSERT_TRUE(idle.wait(120000));
        }
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    QTemporaryDir music;
    NoDisplay noDisplay;
    ConversionQueue queue{tools};
    MainWindow window{queue};
    QString chosen;
};

} // namespace

TEST_F(ConversionEndToEnd, BrowseAndConvertMakeAnAmrFileOfTheMusicsLength)
{
    const QString mp3 = musicFile("vbr-48k.mp3", "1.5 s of tone.mp3");
    const QString amr = music.filePath("1.5 s of tone.amr");
    browseInput(mp3);
    window.findChild<QComboBox *>("cmbMRRate")->setCurrentIndex(7);
    convert();
    waitUntilIdle();

    // 1.5 s are 75 frames of 20 ms, 32 bytes each at 12.2 kbit/s.
    EXPECT_EQ(QFileInfo(amr).size(), 6 + 75 * 32);
    const QString wav = music.filePath("decoded.wav");
    QProcess decode;
    decode.start(tools.encoderFilePath(), {"amr2wav", amr, wav});
    ASSERT_TRUE(decode.waitForFinished(60000));
    EXPECT_EQ(decode.exitCode(), 0) << decode.readAllStandardError().toStdString();
    // A canonical 44-byte header, then 12000 samples of 16 bits.
    EXPECT_EQ(QFileInfo(wav).size(), 44 + 12000 * 2);
}

TEST_F(ConversionEndToEnd, TwoConversionsInQuickSuccessionEachGiveTheirOwnSong)
{
    const QString first = musicFile("stereo-44k.mp3", "first.mp3");
    const QString second = musicFile("mpeg2-22k.mp3", "second.mp3");
    // What each song gives alone.
    QByteArray alone[2];
    for (int i = 0; i < 2; ++i) {
        browseInput(i == 0 ? first : second);
        convert();
        waitUntilIdle();
        alone[i] = contentsOf(music.filePath(i == 0 ? "first.amr" : "second.amr"));
        ASSERT_GT(alone[i].size(), 6);
        ASSERT_TRUE(QFile::remove(music.filePath(i == 0 ? "first.amr" : "second.amr")));
    }
    ASSERT_NE(alone[0], alone[1]);

    QStringList events;
    QObject::connect(&queue, &ConversionQueue::scriptWritten, [&](const ConversionRequest &request) {
        events.append("written " + QFileInfo(request.inputPath).baseName());
    });
    QObject::connect(&queue, &ConversionQueue::finished, [&](const ConversionRequest &request, const ConversionOutcome &) {
        events.append("ended " + QFileInfo(request.inputPath).baseName());
    });
    browseInput(first);
    convert();
    browseInput(second);
    convert();
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter - 1 conversion waiting");
    waitUntilIdle();

    EXPECT_EQ(events, QStringList({"written first", "ended first", "written second", "ended second"}));
    EXPECT_EQ(contentsOf(music.filePath("first.amr")), alone[0]);
    EXPECT_EQ(contentsOf(music.filePath("second.amr")), alone[1]);
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter");
}

TEST_F(ConversionEndToEnd, ABareOutputNameLandsBesideTheMusic)
{
    browseInput(musicFile("vbr-48k.mp3", "tone.mp3"));
    window.findChild<QLineEdit *>("txtOutputAudio")->setText("ring.amr");
    convert();
    waitUntilIdle();
    EXPECT_TRUE(QFileInfo(music.filePath("ring.amr")).size() > 6);
    EXPECT_FALSE(QFile::exists(tools.path() + "/ring.amr"));
}

TEST_F(ConversionEndToEnd, AConversionThatFailsWithoutAConsoleSaysWhyInTheWindow)
{
    const QString notes = QDir::toNativeSeparators(music.filePath("notes.mp3"));
    writeFile(notes, QByteArray("Shopping list: milk, bread, a ringtone.\n").repeated(50));

    MessageBoxCatcher catcher;
    browseInput(notes);
    convert();
    waitUntilIdle();
    ASSERT_EQ(catcher.texts().size(), 1);
    const QString message = catcher.texts()[0];
    EXPECT_TRUE(message.contains("did not make \"" + QDir::toNativeSeparators(music.filePath("notes.amr")) + "\"")) << message.toStdString();
#ifdef _WIN32
    // The command interpreter tells nothing of the lines it ran; the missing WAV file does.
    EXPECT_TRUE(message.contains("the decoder could not read \"" + notes + "\" as audio")) << message.toStdString();
#else
    EXPECT_TRUE(message.contains("madplay.exe ended with status 1")) << message.toStdString();
#endif
    EXPECT_FALSE(QFile::exists(music.filePath("notes.amr")));
}
