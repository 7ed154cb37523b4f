// Conversions as a user makes them, on the real tools: Browse input picks the music (or
// the files are dropped onto the window), Convert hands the request to the queue, the
// AMR file appears beside the music, and the notice says how each conversion ended.

#include "ConversionQueue.h"
#include "Drop.h"
#include "FileDialog.h"
#include "MessageBoxCatcher.h"
#include "QStringPrinter.h"
#include "MainWindow.h"
#include "NoDisplay.h"
#include "TestInstallation.h"
#include "TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
    void drop(const QStringList &paths)
    {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        ASSERT_TRUE(dropOnto(window, urls));
    }
    // The notice of how the conversions ended, when it shows.
    QString notice() const
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "outcomeNotice" && widget->isVisible())
                return static_cast<QMessageBox *>(widget)->text();
        }
        return {};
    }
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
    // Said without a console and without holding up the window.
    EXPECT_EQ(notice(), "Made \"" + QDir::toNativeSeparators(amr) + "\", 1.5 seconds long.");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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

TEST_F(ConversionEndToEnd, AFailedConversionSaysWhyInTheToolsOwnWords)
{
    const QString notes = QDir::toNativeSeparators(music.filePath("notes.mp3"));
    writeFile(notes, QByteArray("Shopping list: milk, bread, a ringtone.\n").repeated(50));
    browseInput(notes);
    convert();
    waitUntilIdle();

    // The decoder's reason, which only a console used to show; not the encoder's line
    // after it, which follows from it.
    const QString amr = QDir::toNativeSeparators(music.filePath("notes.amr"));
    EXPECT_TRUE(notice().startsWith("The conversion did not make \"" + amr + "\": " + notes
                                    + ": it holds no audio that this program can read"))
        << notice();
    EXPECT_FALSE(QFile::exists(amr));
}

TEST_F(ConversionEndToEnd, SeveralDroppedFilesEachBecomeARingtoneBesideThemselves)
{
    // Lengths that tell the files apart: 1.5 s, 3 s and 2 s.
    const QStringList songs{musicFile("vbr-48k.mp3", "one.mp3"), musicFile("stereo-44k.mp3", "two 100%.mp3"),
                            musicFile("mpeg2-22k.mp3", "three.mp3")};
    window.findChild<QComboBox *>("cmbMRRate")->setCurrentIndex(7);
    drop(songs);
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter - 2 conversions waiting");
    waitUntilIdle();

    // 20 ms frames of 32 bytes at 12.2 kbit/s.
    const int frames[] = {75, 150, 100};
    QStringList told;
    for (int i = 0; i < 3; ++i) {
        const QString amr = QString(songs[i]).replace(".mp3", ".amr");
        EXPECT_EQ(QFileInfo(amr).size(), 6 + frames[i] * 32) << amr.toStdString();
        told.append("Made \"" + amr + "\", " + QString::number(frames[i] / 50.0, 'f', 1) + " seconds long.");
    }
    EXPECT_EQ(notice(), told.join('\n'));
    EXPECT_EQ(window.findChild<QLineEdit *>("txtInputAudio")->text(), "choose input file")
        << "several files are converted, not put into the boxes";
}
