// Conversions as a user makes them, on the real tools: Browse input picks the music (or
// the files are dropped onto the window), Convert hands the request to the queue, the
// AMR file appears beside the music, and the notice says how each conversion ended. How
// requests are checked, queued and run is the core's tests' to show; here, that the
// window's path leads through them.

#include "Drop.h"
#include "MainWindowFixture.h"
#include "QStringPrinter.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

class ConversionEndToEnd : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(MainWindowTest::SetUp());
        ASSERT_TRUE(installation.addScriptRunner() && installation.addBuiltTools());
    }

    QString musicFile(const char *fixture, const QString &name)
    {
        const QString path = musicPath(name);
        EXPECT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DIR "/") + fixture, path));
        return path;
    }
    // The notice of how the conversions ended, when it shows.
    static QString notice()
    {
        const auto *shown = static_cast<const QMessageBox *>(visibleWindow("outcomeNotice"));
        return shown ? shown->text() : QString();
    }

};

} // namespace

// A conversion asked for while another runs waits, and the notice tells how each ended:
// the file made and its length, or the tools' own reason, without holding up the window.
TEST_F(ConversionEndToEnd, BrowseAndConvertMakeAnAmrFileOrSayWhyNotInTheToolsOwnWords)
{
    browseInput(musicFile("vbr-48k.mp3", "1.5 s of tone.mp3"));
    click("cmdConvert");
    const QString notes = musicPath("notes.mp3");
    writeFile(notes, QByteArray("Shopping list: milk, bread, a ringtone.\n").repeated(50));
    browseInput(notes);
    click("cmdConvert");
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter - 1 conversion waiting");
    waitUntilIdle();
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter");

    // The decoder's reason, which only a console used to show; not the encoder's line
    // after it, which follows from it.
    const QString amr = musicPath("notes.amr");
    EXPECT_TRUE(notice().startsWith("Made \"" + musicPath("1.5 s of tone.amr") + "\", 1.5 seconds long.\n"
                                    "The conversion did not make \"" + amr + "\": " + notes
                                    + ": it holds no audio that this program can read"))
        << notice();
    EXPECT_FALSE(QFile::exists(amr));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ConversionEndToEnd, SeveralDroppedFilesEachBecomeARingtoneBesideThemselvesAtTheChosenRate)
{
    // Lengths that tell the files apart: 1.5 s, 3 s and 2 s.
    const QStringList songs{musicFile("vbr-48k.mp3", "one.mp3"), musicFile("stereo-44k.mp3", "two 100%.mp3"),
                            musicFile("mpeg2-22k.mp3", "three.mp3")};
    control<QComboBox>(window, "cmbMRRate")->setCurrentIndex(7);
    ASSERT_TRUE(dropOnto(window, {QUrl::fromLocalFile(songs[0]), QUrl::fromLocalFile(songs[1]),
                                  QUrl::fromLocalFile(songs[2])}));
    EXPECT_EQ(window.windowTitle(), "Free Tarvik AMR Format Converter - 2 conversions waiting");
    waitUntilIdle();

    // 20 ms frames of 32 bytes at 12.2 kbit/s.
    const int frames[] = {75, 150, 100};
    QStringList told;
    for (int i = 0; i < 3; ++i) {
        const QString amr = QString(songs[i]).replace(".mp3", ".amr");
        EXPECT_EQ(QFileInfo(amr).size(), 6 + frames[i] * 32) << amr;
        told.append("Made \"" + amr + "\", " + QString::number(frames[i] / 50.0, 'f', 1) + " seconds long.");
    }
    EXPECT_EQ(notice(), told.join('\n'));
    EXPECT_EQ(box("txtInputAudio")->text(), "choose input file") << "several files are converted, not put into the boxes";
}
