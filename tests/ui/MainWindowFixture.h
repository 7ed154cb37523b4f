#pragma once

#include "ConversionQueue.h"
#include "FileDialog.h"
#include "ImageButton.h"
#include "MainWindow.h"
#include "TestFiles.h"
#include "TestInstallation.h"
#include "WindowControls.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A main window whose tool folder lies in a temporary application directory, without
// the script runner, so no conversion really starts; and a folder of music. The file
// dialog answers `dialogAnswer` and records how each browse set it up.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && music.isValid());
        window.fileDialog().setChooser([this](FileDialog::Mode mode, const FileDialog &dialog) {
            dialogCalls.append(QStringLiteral("%1 \"%2\" %3 %4 on \"%5\"")
                                   .arg(QString(mode == FileDialog::Mode::Open ? "open" : "save"), dialog.title(),
                                        dialog.filter())
                                   .arg(dialog.filterIndex())
                                   .arg(dialog.fileName()));
            return dialogAnswer;
        });
    }

    QString musicPath(const QString &name) const { return QDir::toNativeSeparators(music.filePath(name)); }
    QLineEdit *box(const char *name) { return control<QLineEdit>(window, name); }
    ImageButton *convertButton() { return control<ImageButton>(window, "cmdConvert"); }
    void click(const char *name) { QTest::mouseClick(control(window, name), Qt::LeftButton); }
    void browseInput(const QString &path)
    {
        dialogAnswer = path;
        click("cmdInput");
    }
    void waitUntilIdle()
    {
        QSignalSpy idle(&queue, &ConversionQueue::idle);
        ASSERT_TRUE(queue.isIdle() || idle.wait(120000));
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    QTemporaryDir music;
    ConversionQueue queue{tools};
    MainWindow window{queue};
    QString dialogAnswer;
    QStringList dialogCalls;
};
