// A conversion as a user makes it: Browse input picks an MP3, Convert writes and starts
// the script, and the real tools turn it into an AMR file beside the MP3.

#include "FileDialog.h"
#include "ImageButton.h"
#include "NoDisplay.h"
#include "frmAMRConvert.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(ConversionEndToEnd, BrowseAndConvertMakeAnAmrFileOfTheMusicsLength)
{
    // An installation of our own: the built runner beside the program, the built tools
    // in its tool folder.
    QTemporaryDir appDir;
    ASSERT_TRUE(appDir.isValid());
    const ToolFolder tools(QDir::toNativeSeparators(appDir.path()));
    ASSERT_TRUE(QDir(appDir.path()).mkpath("amr"));
#ifdef _WIN32
    // Copies, as Windows lets only administrators make links; the command interpreter
    // runs the script.
    ASSERT_TRUE(QFile::copy(TOOL_FOLDER "/madplay.exe", tools.decoderPath()));
    ASSERT_TRUE(QFile::copy(TOOL_FOLDER "/converter.exe", tools.encoderFilePath()));
#else
    ASSERT_TRUE(QFile::link(BATCHRUN_PATH, tools.scriptRunnerPath()));
    ASSERT_TRUE(QFile::link(TOOL_FOLDER "/madplay.exe", tools.decoderPath()));
    ASSERT_TRUE(QFile::link(TOOL_FOLDER "/converter", tools.encoderPath()));
#endif

    QTemporaryDir music;
    const QString mp3 = music.filePath("1.5 s of tone.mp3");
    ASSERT_TRUE(QFile::copy(FIXTURE_DIR "/vbr-48k.mp3", mp3));
    const QString amr = music.filePath("1.5 s of tone.amr");

    NoDisplay noDisplay;
    frmAMRConvert window(tools);
    window.fileDialog().setChooser([&](FileDialog::Mode, const FileDialog &) { return mp3; });
    QTest::mouseClick(window.findChild<QWidget *>("cmdInput"), Qt::LeftButton);
    window.findChild<QComboBox *>("cmbMRRate")->setCurrentIndex(7);
    QTest::mouseClick(window.findChild<QWidget *>("cmdConvert"), Qt::LeftButton);

    // The encoder renames its finished file into place, so once it exists it is whole.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(amr); }, 60000));
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
