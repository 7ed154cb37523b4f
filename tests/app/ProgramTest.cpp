// The program's windows follow each other, and the program ends when its last window
// has closed, but not before the conversions the user asked for have run.

#include "NoDisplay.h"
#include "Program.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(QDir(appDir.path()).mkdir("amr"));
        // Ends the loop if closing the windows does not.
        QTimer::singleShot(60000, [] { QApplication::exit(1); });
    }

    QTemporaryDir appDir;
    ToolFolder tools{appDir.path(), u'/'};
    Program program{tools};
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
    // Stand-in tools: the decoder waits while "hold" exists, the encoder writes the output.
    NoDisplay noDisplay;
    ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
    const QString hold = appDir.filePath("hold");
    QFile(hold).open(QIODevice::WriteOnly);
    for (const auto &[path, body] : {std::pair{tools.decoderPath(), "while [ -e '" + QFile::encodeName(hold)
                                                                       + "' ]; do sleep 0.02; done\n"
                                                                         "cp \"$8\" \"${7#wave:}\"\n"},
                                     std::pair{tools.encoderPath(), QByteArray("cp \"$2\" \"$3\"\n")}}) {
        QFile program(path);
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n" + body);
        program.close();
        program.setPermissions(program.permissions() | QFile::ExeOwner);
    }
    const QString song = appDir.filePath("song.mp3");
    QFile(song).open(QIODevice::WriteOnly);
    ASSERT_EQ(queue.convert({song, "one.amr", "7.4"}, appDir.path()), std::nullopt);
    ASSERT_EQ(queue.convert({song, "two.amr", "7.4"}, appDir.path()), std::nullopt);

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
            QFile::remove(hold);
        });
    });

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(runningWhenAllClosed) << "the program ended before its conversions";
    EXPECT_TRUE(queue.isIdle());
    EXPECT_TRUE(QFile::exists(appDir.filePath("one.amr")));
    EXPECT_TRUE(QFile::exists(appDir.filePath("two.amr")));
}
