#include "FileDialog.h"
#include "ImageButton.h"
#include "MainWindow.h"

#include "ConversionQueue.h"
#include "Drop.h"
#include "MessageBoxCatcher.h"
#include "PictureSearch.h"
#include "TestFiles.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A main window whose tool folder lies in a temporary application directory, without
// the script runner, so no conversion really starts; and a folder of music.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && music.isValid());
        for (const QString &path : {song, hits})
            writeFile(path, {});
        window.fileDialog().setChooser([this](FileDialog::Mode mode, const FileDialog &dialog) {
            dialogCalls.append({{mode, dialog.title(), dialog.filter(), dialog.filterIndex()},
                                dialog.fileName()});
            return dialogAnswer;
        });
    }

    template <typename T = QWidget>
    T *control(const char *name)
    {
        T *found = window.findChild<T *>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QString text(const char *name) { return control<QLineEdit>(name)->text(); }
    ImageButton *convertButton() { return control<ImageButton>("cmdConvert"); }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    QByteArray script() const { return contentsOf(tools.scriptPath()); }

    // What a browse handler set up before showing the dialog.
    struct DialogSettings {
        FileDialog::Mode mode;
        QString title;
        QString filter;
        int filterIndex;
        bool operator==(const DialogSettings &) const = default;
    };
    struct DialogCall {
        DialogSettings settings;
        QString fileNameBefore;
    };
    const DialogSettings openInput{FileDialog::Mode::Open, "Select file to convert", "MP3|*.mp3", 1};
    const DialogSettings saveOutput{FileDialog::Mode::Save, "Select output file name",
                                    "Adaptive Multi Rate - AMR|*.amr", 1};

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    QTemporaryDir music;
    const QString song = QDir::toNativeSeparators(music.filePath("song.mp3"));
    const QString hits = QDir::toNativeSeparators(music.filePath("100% hits.mp3"));
    ConversionQueue queue{tools};
    MainWindow window{queue};
    QString dialogAnswer;
    QList<DialogCall> dialogCalls;
};

// The focused control's name, then the name after each of `presses` Tab presses.
QStringList tabCycle(int presses)
{
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    return visited;
}

} // namespace

// The geometry is a table; what must hold whatever its numbers: the window keeps its
// size, the visible controls do not cover each other, and the two hidden ones stay out of
// sight yet usable from the keyboard.
TEST_F(MainWindowTest, VisibleControlsDoNotOverlapAndTheHiddenOnesStayBelowTheEdge)
{
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    QList<QWidget *> visible;
    for (QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName() == "lblStatus" || child->objectName() == "Command1") {
            EXPECT_GT(child->y(), window.height()) << child->objectName().toStdString();
            EXPECT_TRUE(child->isEnabled());
            continue;
        }
        EXPECT_TRUE(window.rect().intersects(child->geometry())) << child->objectName().toStdString();
        for (const QWidget *other : visible)
            EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                << child->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
        visible.append(child);
    }
    EXPECT_EQ(visible.size(), 8);
}

TEST_F(MainWindowTest, OnlyConvertStartsDisabledShowingItsGreyPictureAndTheRateIsSevenPointFour)
{
    for (ImageButton *button : window.findChildren<ImageButton *>()) {
        EXPECT_EQ(button->isEnabled(), button != convertButton()) << button->objectName().toStdString();
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    const QImage grey(":/main/Convert-disabled.bmp");
    ASSERT_FALSE(grey.isNull());
    EXPECT_TRUE(findPicture(convertButton()->grab().toImage(), grey).has_value());
    QComboBox *rates = control<QComboBox>("cmbMRRate");
    EXPECT_EQ(rates->count(), 8);
    EXPECT_EQ(rates->currentText(), "7.4");
}

TEST_F(MainWindowTest, TabVisitsTheControlsInDesignOrderIncludingTheHiddenButton)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), control("txtOutputAudio"));

    EXPECT_EQ(tabCycle(6),
              QStringList({"txtOutputAudio", "txtInputAudio", "cmdInput", "cmdOutput", "Command1",
                           "cmbMRRate", "txtOutputAudio"}));

    convertButton()->setEnabled(true);
    EXPECT_EQ(tabCycle(7),
              QStringList({"txtOutputAudio", "txtInputAudio", "cmdInput", "cmdOutput",
                           "cmdConvert", "Command1", "cmbMRRate", "txtOutputAudio"}));

    // Arrows leave the focus where it is: the window was designed for Tab alone.
    control("cmdInput")->setFocus();
    QTest::keyClick(control("cmdInput"), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), control("cmdInput"));
}

// Browses in turn: how each set up the dialog and what it opened on, then what the boxes
// and Convert show. A cancel changes nothing, only Browse input enables Convert, and the
// dialog opens on the name chosen last.
TEST_F(MainWindowTest, BrowsesFillTheBoxesAndOnlyBrowseInputEnablesConvert)
{
    struct Browse {
        const char *button;
        const char *answer;
        DialogSettings settings;
        const char *input;
        const char *output;
        bool convertEnabled;
    };
    const Browse browses[] = {
        {"cmdInput", "", openInput, "choose input file", "choose output file", false},
        {"cmdOutput", "", saveOutput, "choose input file", "choose output file", false},
        {"cmdOutput", "/music/ring", saveOutput, "choose input file", "/music/ring.amr", false},
        {"cmdInput", "/music/song.mp3", openInput, "/music/song.mp3", "/music/song.amr", true},
        {"cmdOutput", "", saveOutput, "/music/song.mp3", "/music/song.amr", true},
    };
    QString chosenLast;
    for (const Browse &browse : browses) {
        SCOPED_TRACE(browse.button + std::string(" answered \"") + browse.answer + "\"");
        dialogAnswer = browse.answer;
        const qsizetype calls = dialogCalls.size();
        click(browse.button);
        ASSERT_EQ(dialogCalls.size(), calls + 1);
        EXPECT_TRUE(dialogCalls.last().settings == browse.settings);
        EXPECT_EQ(dialogCalls.last().fileNameBefore, chosenLast);
        EXPECT_EQ(text("txtInputAudio"), browse.input);
        EXPECT_EQ(text("txtOutputAudio"), browse.output);
        EXPECT_EQ(convertButton()->isEnabled(), browse.convertEnabled);
        chosenLast = browse.answer;
    }
}

TEST_F(MainWindowTest, ConvertWritesTheTextsPresentWhenPressed)
{
    dialogAnswer = song;
    click("cmdInput");
    QLineEdit *input = control<QLineEdit>("txtInputAudio");
    input->clear();
    QTest::keyClicks(input, hits);
    QLineEdit *output = control<QLineEdit>("txtOutputAudio");
    output->clear();
    QTest::keyClicks(output, "ring.amr");
    control<QComboBox>("cmbMRRate")->setCurrentIndex(6);

    MessageBoxCatcher catcher;
    click("cmdConvert");

    const QByteArray written = script();
    EXPECT_TRUE(written.contains(" \"" + hits.toLocal8Bit().replace("%", "%%") + "\"\r\n"))
        << written.toStdString();
    // A bare output name lands beside the music, not in the tool folder the encoder runs in.
    EXPECT_TRUE(written.contains(" \"" + QDir::toNativeSeparators(music.filePath("ring.amr")).toLocal8Bit() + "\" MR102\r\n"))
        << written.toStdString();
#ifdef _WIN32
    // The command interpreter runs the script, whose tools this tool folder lacks: once
    // it has ended, the message names the output that the texts asked for.
    if (!queue.isIdle()) {
        QSignalSpy idle(&queue, &ConversionQueue::idle);
        ASSERT_TRUE(idle.wait(120000));
    }
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains("\"" + QDir::toNativeSeparators(music.filePath("ring.amr")) + "\""))
        << catcher.texts()[0].toStdString();
#else
    // No script runner in this tool folder's application directory: the start fails
    // and says why.
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains(tools.scriptRunnerPath())) << catcher.texts()[0].toStdString();
    EXPECT_TRUE(queue.isIdle());
#endif
}

// The request check's refusals are RequestCheckTest's; here, that the window shows one
// and writes nothing.
TEST_F(MainWindowTest, AnMp3NamedLikeItsOutputIsRefusedBeforeAnyScript)
{
    const QString misnamed = music.filePath("tune.amr");
    writeFile(misnamed, {});
    dialogAnswer = misnamed;
    click("cmdInput");
    ASSERT_EQ(text("txtOutputAudio"), misnamed);

    MessageBoxCatcher catcher;
    click("cmdConvert");
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains("is the input file itself")) << catcher.texts()[0].toStdString();
    EXPECT_TRUE(script().isEmpty());
    EXPECT_TRUE(queue.isIdle());
}

TEST_F(MainWindowTest, AScriptThatCannotBeWrittenIsReportedAndNothingStarts)
{
    dialogAnswer = song;
    click("cmdInput");
    ASSERT_TRUE(QDir(tools.path()).removeRecursively());

    MessageBoxCatcher catcher;
    click("cmdConvert");
    ASSERT_EQ(catcher.texts().size(), 1) << "one message: the write, not also the start";
    EXPECT_TRUE(catcher.texts()[0].contains(tools.path()));
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(MainWindowTest, TheHiddenButtonWritesTheScriptFromTheKeyboardWithoutStartingIt)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    control<QLineEdit>("txtInputAudio")->setText(song);
    control<QLineEdit>("txtOutputAudio")->setText(music.filePath("out.amr"));
    control("Command1")->setFocus();

    MessageBoxCatcher catcher;
    QTest::keyClick(control("Command1"), Qt::Key_Space);
    EXPECT_TRUE(script().endsWith(QDir::toNativeSeparators("/out.amr\" MR74\r\nexit\r\n").toLocal8Bit()))
        << script().toStdString();
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
        << catcher.texts()[0].toStdString();
    EXPECT_EQ(text("txtInputAudio"), "choose input file");
    EXPECT_FALSE(convertButton()->isEnabled());
    EXPECT_TRUE(script().isEmpty());

    EXPECT_TRUE(dropOnto(window, {QUrl::fromLocalFile("/music/dropped song.mp3")}));
    EXPECT_EQ(text("txtInputAudio"), QDir::toNativeSeparators("/music/dropped song.mp3"));
    EXPECT_EQ(text("txtOutputAudio"), QDir::toNativeSeparators("/music/dropped song.amr"));
    EXPECT_TRUE(convertButton()->isEnabled());
}

#ifdef _WIN32
TEST_F(MainWindowTest, ANameTheAnsiCodePageLacksIsRefusedWithAMessage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "written for the Western code page 1252, which lacks Chinese letters";
    dialogAnswer = QDir::toNativeSeparators(music.filePath(QStringLiteral("\u4e2d\u6587.mp3")));
    QFile(dialogAnswer).open(QIODevice::WriteOnly);
    click("cmdInput");

    MessageBoxCatcher catcher;
    click("cmdConvert");
    ASSERT_EQ(catcher.texts().size(), 1);
    EXPECT_TRUE(catcher.texts()[0].contains("code page")) << catcher.texts()[0].toStdString();
    EXPECT_TRUE(script().isEmpty()) << "nothing is written, so nothing starts";
}
#endif
