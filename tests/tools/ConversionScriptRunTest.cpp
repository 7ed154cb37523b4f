// The conversion script as the program writes it, run on the real decoder and encoder by
// the command interpreter on Windows and by batchrun elsewhere: the names its quotes and
// doubled percent signs carry reach the tools. (What the tools make of the music is their
// own tests'; what a failed decoding leaves, the queue's, the decoder's and the encoder's.)

#include "ConversionScript.h"
#include "TestInstallation.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

TEST(ConversionScriptRun, AnMp3BecomesAnAmrFileOfItsLength)
{
    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    ASSERT_TRUE(installation.isValid() && installation.addBuiltTools());
    ASSERT_TRUE(QDir(tools.applicationDirectory()).mkpath("my music"));
    const QString mp3 = QDir::toNativeSeparators(installation.filePath("my music/100% tone.mp3"));
    ASSERT_TRUE(QFile::copy(fixtureFile("vbr-48k.mp3"), mp3));
    const QString amr = QDir::toNativeSeparators(installation.filePath("my music/100% tone.amr"));
    const auto script = ConversionScript::text(tools, {mp3, amr, QStringLiteral("7.4")});
    ASSERT_TRUE(script.ok());
    writeFile(tools.scriptPath(), script.value());
#ifdef _WIN32
    // Started as the program starts it, but waited for.
    QProcess interpreter;
    interpreter.setProgram(qEnvironmentVariable("ComSpec", "cmd.exe"));
    interpreter.setNativeArguments("/c \"\"" + tools.scriptPath() + "\"\"");
    interpreter.start();
    ASSERT_TRUE(interpreter.waitForFinished(120000)) << "the command interpreter did not finish the script";
    EXPECT_EQ(interpreter.exitCode(), 0);
#else
    EXPECT_EQ(runTool(BATCHRUN_PATH, {tools.scriptPath()}).exitCode, 0);
#endif
    // 1.5 s are 75 frames of 20 ms, 20 bytes each at 7.4 kbit/s.
    EXPECT_EQ(QFileInfo(amr).size(), 6 + 75 * 20);
}
