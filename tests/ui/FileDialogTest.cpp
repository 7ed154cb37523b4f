#include "FileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Shows the real Qt dialog and lets `answer` look at it and close it.
void showAndAnswer(FileDialog &dialog, FileDialog::Mode mode, const std::function<void(QFileDialog &)> &answer)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            poll.stop();
            answer(*shown);
        }
    });
    poll.start(10);
    mode == FileDialog::Mode::Open ? dialog.showOpen() : dialog.showSave();
}

// Accepts the name the dialog holds, as its Open or Save button does, and cancels it if
// it refuses that name.
void accept(QFileDialog &shown)
{
    static_cast<QDialog &>(shown).accept();
    if (shown.isVisible())
        shown.reject();
}

} // namespace

TEST(FileDialog, OpensAQtDialogThatTakesAnyNameWithoutAsking)
{
    QTemporaryDir folder;
    const QString existing = folder.filePath("ring.amr");
    QFile(existing).open(QIODevice::WriteOnly);
    const QString missing = folder.filePath("not there yet.mp3");

    QWidget owner;
    FileDialog dialog(&owner);
    dialog.setTitle("Select file to convert");
    dialog.setFilter("Sound|*.wav|MP3|*.mp3");
    dialog.setFilterIndex(2);
    // The dialog opens on the name it holds; the answers take it as it is, since a name
    // chosen while the dialog reads its folder may be overridden.
    dialog.setFileName(missing);
    showAndAnswer(dialog, FileDialog::Mode::Open, [&](QFileDialog &shown) {
        EXPECT_EQ(shown.windowTitle(), "Select file to convert");
        EXPECT_EQ(shown.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(shown.fileMode(), QFileDialog::AnyFile);
        EXPECT_EQ(shown.nameFilters(), QStringList({"Sound (*.wav)", "MP3 (*.mp3)"}));
        EXPECT_EQ(shown.selectedNameFilter(), "MP3 (*.mp3)");
        EXPECT_TRUE(shown.defaultSuffix().isEmpty());
        accept(shown);
    });
    EXPECT_EQ(dialog.fileName(), QDir::toNativeSeparators(missing)) << "a name that does not exist is taken";

    dialog.setFilterIndex(1);
    dialog.setFileName(existing);
    showAndAnswer(dialog, FileDialog::Mode::Save, [&](QFileDialog &shown) {
        EXPECT_EQ(shown.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(shown.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(shown.selectedNameFilter(), "Sound (*.wav)");
        EXPECT_TRUE(shown.defaultSuffix().isEmpty());
        accept(shown);
    });
    EXPECT_EQ(dialog.fileName(), QDir::toNativeSeparators(existing)) << "an existing name is taken without a question";

    showAndAnswer(dialog, FileDialog::Mode::Open, [](QFileDialog &shown) { shown.reject(); });
    EXPECT_TRUE(dialog.fileName().isEmpty()) << "a cancel leaves the name empty";
}
