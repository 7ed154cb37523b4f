#include "Drop.h"
#include "MainWindowFixture.h"
#include "MessageBoxCatcher.h"
#include "PictureSearch.h"
#include "QStringPrinter.h"

#include <QComboBox>
#include <QUrl>

#include <string>

// The geometry is a table; what must hold whatever its numbers: the window keeps its
// size, the visible controls do not cover each other, and the two hidden ones stay out of
// sight yet usable from the keyboard.
TEST_F(MainWindowTest, VisibleControlsDoNotOverlapAndTheHiddenOnesStayBelowTheEdge)
{
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    QList<QWidget *> visible;
    for (QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName() == "lblStatus" || child->objectName() == "Command1") {
            EXPECT_GT(child->y(), window.height()) << child->objectName();
            EXPECT_TRUE(child->isEnabled());
            continue;
        }
        EXPECT_TRUE(window.rect().intersects(child->geometry())) << child->objectName();
        for (const QWidget *other : visible)
            EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                << child->objectName() << " overlaps " << other->objectName();
        visible.append(child);
    }
    EXPECT_EQ(visible.size(), 8);
}

TEST_F(MainWindowTest, OnlyConvertStartsDisabledShowingItsGreyPictureAndTheRateIsSevenPointFour)
{
    for (ImageButton *button : window.findChildren<ImageButton *>()) {
        EXPECT_EQ(button->isEnabled(), button != convertButton()) << button->objectName();
        EXPECT_FALSE(button->icon().isNull()) << button->objectName();
    }
    const QImage grey(":/main/Convert-disabled.bmp");
    ASSERT_FALSE(grey.isNull());
    EXPECT_TRUE(findPicture(convertButton()->grab().toImage(), grey).has_value());
    QComboBox *rates = control<QComboBox>(window, "cmbMRRate");
    EXPECT_EQ(rates->count(), 8);
    EXPECT_EQ(rates->currentText(), "7.4");
}

TEST_F(MainWindowTest, TabVisitsTheControlsInDesignOrderIncludingTheHiddenButton)
{
    ASSERT_TRUE(showActive(window));
    EXPECT_EQ(tabCycle(6), QStringList({"txtOutputAudio", "txtInputAudio", "cmdInput", "cmdOutput", "Command1",
                                        "cmbMRRate", "txtOutputAudio"}));
    convertButton()->setEnabled(true);
    EXPECT_EQ(tabCycle(7), QStringList({"txtOutputAudio", "txtInputAudio", "cmdInput", "cmdOutput", "cmdConvert",
                                        "Command1", "cmbMRRate", "txtOutputAudio"}));
}

// Browses in turn: how each set up the dialog and what it opened on, then what the boxes
// and Convert show. A cancel changes nothing, only Browse input enables Convert, and the
// dialog opens on the name chosen last.
TEST_F(MainWindowTest, BrowsesFillTheBoxesAndOnlyBrowseInputEnablesConvert)
{
    const QString open = "open \"Select file to convert\" MP3|*.mp3 1";
    const QString save = "save \"Select output file name\" Adaptive Multi Rate - AMR|*.amr 1";
    const struct {
        const char *button, *answer;
        const QString &dialog;
        const char *input, *output;
        bool convertEnabled;
    } browses[] = {
        {"cmdInput", "", open, "choose input file", "choose output file", false},
        {"cmdOutput", "", save, "choose input file", "choose output file", false},
        {"cmdOutput", "/music/ring", save, "choose input file", "/music/ring.amr", false},
        {"cmdInput", "/music/song.mp3", open, "/music/song.mp3", "/music/song.amr", true},
        {"cmdOutput", "", save, "/music/song.mp3", "/music/song.amr", true},
    };
    QString chosenLast;
    for (const auto &browse : browses) {
        SCOPED_TRACE(browse.button + std::string(" answered \"") + browse.answer + "\"");
        dialogCalls.clear();
        dialogAnswer = browse.answer;
        click(browse.button);
        EXPECT_EQ(dialogCalls, QStringList{browse.dialog + " on \"" + chosenLast + "\""});
        EXPECT_EQ(box("txtInputAudio")->text(), browse.input);
        EXPECT_EQ(box("txtOutputAudio")->text(), browse.output);
        EXPECT_EQ(convertButton()->isEnabled(), browse.convertEnabled);
        chosenLast = browse.answer;
    }
}

TEST_F(MainWindowTest, ConvertWritesTheTextsPresentWhenPressed)
{
    const QString browsed = musicPath("browsed.mp3"), typed = musicPath("typed.mp3"), ring = musicPath("ring.amr");
    writeFile(browsed, {});
    writeFile(typed, {});
    browseInput(browsed);
    box("txtInputAudio")->clear();
    QTest::keyClicks(box("txtInputAudio"), typed);
    box("txtOutputAudio")->clear();
    QTest::keyClicks(box("txtOutputAudio"), ring);
    control<QComboBox>(window, "cmbMRRate")->setCurrentIndex(6);

    MessageBoxCatcher catcher;
    click("cmdConvert");
    const QByteArray script = contentsOf(tools.scriptPath());
    EXPECT_TRUE(script.contains(" \"" + typed.toLocal8Bit() + "\"\r\n")) << script.toStdString();
    EXPECT_TRUE(script.contains(" \"" + ring.toLocal8Bit() + "\" MR102\r\n")) << script.toStdString();
#ifdef _WIN32
    // The command interpreter runs the script, whose tools this tool folder lacks: once
    // it has ended, the message names the output that the texts asked for.
    waitUntilIdle();
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains("\"" + ring + "\"")) << catcher.texts()[0];
#else
    // No script runner in this tool folder's application directory: the start fails
    // and says why.
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains(tools.scriptRunnerPath())) << catcher.texts()[0];
    EXPECT_TRUE(queue.isIdle());
#endif
}

// The request check's refusals are RequestCheckTest's; here, that the window shows one
// and writes nothing, and that a tool folder it cannot use is one message too.
TEST_F(MainWindowTest, ARefusalAndAToolFolderThatCannotBeUsedAreEachOneMessage)
{
    const QString misnamed = music.filePath("tune.amr");
    writeFile(misnamed, {});
    browseInput(misnamed);
    ASSERT_EQ(box("txtOutputAudio")->text(), misnamed);
    MessageBoxCatcher catcher;
    click("cmdConvert");
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains("is the input file itself")) << catcher.texts()[0];
    EXPECT_FALSE(QFile::exists(tools.scriptPath()));
    EXPECT_TRUE(queue.isIdle());

    box("txtOutputAudio")->setText(music.filePath("tune ring.amr"));
    ASSERT_TRUE(QDir(tools.path()).removeRecursively());
    click("cmdConvert");
    ASSERT_EQ(catcher.texts().size(), 2) << "one message: the write, not also the start";
    EXPECT_TRUE(catcher.texts()[1].contains(tools.path())) << catcher.texts()[1];
}

TEST_F(MainWindowTest, TheHiddenButtonWritesTheScriptFromTheKeyboardWithoutStartingIt)
{
    ASSERT_TRUE(showActive(window));
    const QString song = musicPath("song.mp3");
    writeFile(song, {});
    box("txtInputAudio")->setText(song);
    box("txtOutputAudio")->setText(music.filePath("out.amr"));
    control(window, "Command1")->setFocus();

    MessageBoxCatcher catcher;
    QTest::keyClick(control(window, "Command1"), Qt::Key_Space);
    const QByteArray script = contentsOf(tools.scriptPath());
    EXPECT_TRUE(script.endsWith(QDir::toNativeSeparators("/out.amr\" MR74\r\nexit\r\n").toLocal8Bit()))
        << script.toStdString();
    EXPECT_TRUE(catcher.texts().isEmpty()) << "nothing was started, so nothing failed";
}

TEST_F(MainWindowTest, DroppingOneFileActsAsBrowsingForItAndAFolderIsRefused)
{
    EXPECT_FALSE(dropOnto(window, {QUrl("https://example.com/a.mp3")}));

    // A folder is neither taken as the input nor converted, and the user is told.
    MessageBoxCatcher catcher;
    EXPECT_TRUE(dropOnto(window, {QUrl::fromLocalFile(music.path())}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !catcher.texts().isEmpty(); }, 5000));
    EXPECT_TRUE(catcher.texts()[0].contains("Folders are not converted: \"" + QDir::toNativeSeparators(music.path())))
        << catcher.texts()[0];
    EXPECT_EQ(box("txtInputAudio")->text(), "choose input file");
    EXPECT_FALSE(convertButton()->isEnabled());
    EXPECT_FALSE(QFile::exists(tools.scriptPath()));

    EXPECT_TRUE(dropOnto(window, {QUrl::fromLocalFile("/music/dropped song.mp3")}));
    EXPECT_EQ(box("txtInputAudio")->text(), QDir::toNativeSeparators("/music/dropped song.mp3"));
    EXPECT_EQ(box("txtOutputAudio")->text(), QDir::toNativeSeparators("/music/dropped song.amr"));
    EXPECT_TRUE(convertButton()->isEnabled());
}
