// The program's windows follow each other, and the program ends when its last window
// has closed, but not before the conversions the user asked for have run.

#include "MessageBoxCatcher.h"
#include "Program.h"
#include "TestInstallation.h"
#include "WindowControls.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Program, ClosingTheMainWindowShowsTheOffersAndTheProgramEndsOnceTheyAndItsConversionsAreDone)
{
    // Stand-ins that wait until the test lets them go, then pass the "audio" through.
    TestInstallation installation;
    ASSERT_TRUE(installation.isValid() && installation.addScriptRunner() && installation.addStandIns());
    const QString go = installation.filePath("go");
    qputenv("AMR_RECORD_WAIT_FOR", QFile::encodeName(go));
    qputenv("AMR_RECORD_PASS_THROUGH", "1");
    Program program{installation.tools()};
    const QString song = installation.filePath("song.mp3");
    QFile(song).open(QIODevice::WriteOnly);
    ASSERT_EQ(program.conversions().convert({song, "one.amr", "7.4"}, "."), std::nullopt);
    ASSERT_EQ(program.conversions().convert({song, "two.amr", "7.4"}, "."), std::nullopt);

    // The notice of how they ended comes when no other window is left; the program ends
    // once the user has closed it (as this does at once).
    MessageBoxCatcher catcher;
    program.mainWindow().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.mainWindow()));
    bool offersShown = false, runningWhenAllClosed = false;
    QTimer::singleShot(0, [&] {
        program.mainWindow().close();
        QWidget *offers = visibleWindow("frmCorvane");
        offersShown = offers != nullptr;
        if (offers)
            offers->close();
        // Both windows are gone; the program must wait for the conversions.
        QTimer::singleShot(300, [&] {
            runningWhenAllClosed = true;
            QFile(go).open(QIODevice::WriteOnly);
        });
    });
    // Ends the loop if closing the windows does not.
    QTimer::singleShot(60000, [] { QApplication::exit(1); });

    EXPECT_EQ(QApplication::exec(), 0) << "the event loop ended because the last window closed";
    EXPECT_TRUE(offersShown);
    EXPECT_TRUE(runningWhenAllClosed) << "the program ended before its conversions";
    EXPECT_TRUE(program.conversions().isIdle());
    EXPECT_TRUE(QFile::exists(installation.filePath("one.amr")));
    EXPECT_TRUE(QFile::exists(installation.filePath("two.amr")));
    EXPECT_FALSE(catcher.texts().isEmpty()) << "the outcome reaches the user with every window closed";
}
