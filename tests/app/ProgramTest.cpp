// The program's windows follow each other, and the program ends when its last window
// has closed, but not before the conversions the user asked for have run.

#include "MessageBoxCatcher.h"
#include "NoDisplay.h"
#include "Program.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QWidget *visibleOffersWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "frmCorvane" && window->isVisible())
            return window;
    }
    return nullptr;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid());
        // Ends the loop if closing the windows does not.
        QTimer::singleShot(60000, [] { QApplication::exit(1); });
    }

    TestInstallation installation;
    Program program{installation.tools()};
    MainWindow &mainWindow = program.mainWindow();
    ConversionQueue &queue = program.conversions();
};

} // namespace

TEST_F(ProgramTest, ClosingTheMainWindowShowsTheOffersAndClosingThemEndsTheProgram)
{
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    bool offersShown = false;
    QTimer::singleShot(0, [&] {
        mainWindow.close();
        QWidget *offers = visibleOffersWindow();
        offersShown = offers != nullptr;
        if (offers)
            QTimer::singleShot(0, offers, &QWidget::close);
    });

    EXPECT_EQ(QApplication::exec(), 0) << "the event loop ended because the last window closed";
    EXPECT_TRUE(offersShown);
    EXPECT_FALSE(mainWindow.isVisible());
}

TEST_F(ProgramTest, AConversionStillRunningOrWaitingKeepsTheProgramUntilItHasRun)
{
    // Stand-ins that wait until the test lets them go, then pass the "audio" through.
    NoDisplay noDisplay;
    ASSERT_TRUE(installation.addScriptRunner());
    ASSERT_TRUE(installation.addStandIns());
    const QString go = installation.filePath("go");
    qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go));
    qputenv("AMR_RECORD_PASS_THROUGH", "1");
    const QString song = installation.filePath("song.mp3");
    QFile(song).open(QIODevice::WriteOnly);
    ASSERT_EQ(queue.convert({song, "one.amr", "7.4"}, "."), std::nullopt);
    ASSERT_EQ(queue.convert({song, "two.amr", "7.4"}, "."), std::nullopt);

    // The notice of how they ended comes when no other window is left; the program ends
    // once the user has closed it (as this does at once).
    MessageBoxCatcher catcher;
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    bool runningWhenAllClosed = false;
    QTimer::singleShot(0, [&] {
        mainWindow.close();
        if (QWidget *offers = visibleOffersWindow())
            offers->close();
        // Both windows are gone; the program must wait for the conversions.
        QTimer::singleShot(300, [&] {
            runningWhenAllClosed = true;
            QFile(go).open(QIODevice::WriteOnly);
        });
    });

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(runningWhenAllClosed) << "the program ended before its conversions";
    EXPECT_TRUE(queue.isIdle());
    EXPECT_TRUE(QFile::exists(installation.filePath("one.amr")));
    EXPECT_TRUE(QFile::exists(installation.filePath("two.amr")));
    EXPECT_FALSE(catcher.texts().isEmpty()) << "the outcome reaches the user with every window closed";
    qunsetenv("AMR_RECORD_WAIT_FOR");
    qunsetenv("AMR_RECORD_PASS_THROUGH");
}
