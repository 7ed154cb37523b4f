#include "ConversionScript.h"
#include "ScriptWriter.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class ScriptWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(installation.isValid()); }

    QByteArray scriptContent() const
    {
        QFile file(tools.scriptPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

    QStringList toolFolderEntries() const
    {
        return QDir(tools.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    TestInstallation installation;
    const ToolFolder &tools = installation.tools();
    const ConversionRequest longRequest{"/music/a rather long folder name/first song.mp3",
                                        "/music/a rather long folder name/first song.amr", "12.2"};
    const ConversionRequest shortRequest{"/m/b.mp3", "/m/b.amr", "5.9"};
};

} // namespace

TEST_F(ScriptWriterTest, WritesTheScriptIntoTheToolFolderAndAShorterOneReplacesItCompletely)
{
    ASSERT_EQ(writeConversionScript(tools, longRequest), std::nullopt);
    ASSERT_EQ(writeConversionScript(tools, shortRequest), std::nullopt);
    EXPECT_EQ(scriptContent(), ConversionScript::text(tools, shortRequest).value());
    EXPECT_EQ(toolFolderEntries(), QStringList{"WAV2AMR.bat"});
}

TEST_F(ScriptWriterTest, AMissingToolFolderIsReportedAndNothingIsCreated)
{
    ASSERT_TRUE(QDir(tools.path()).removeRecursively());
    const Status status = writeConversionScript(tools, shortRequest);
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.path())) << status->message.toStdString();
    EXPECT_TRUE(status->message.contains("does not exist"));
    EXPECT_TRUE(QDir(tools.applicationDirectory()).isEmpty());
}

TEST_F(ScriptWriterTest, AReadOnlyScriptIsReportedAndKeepsItsContent)
{
    ASSERT_EQ(writeConversionScript(tools, longRequest), std::nullopt);
    const QByteArray before = scriptContent();
    ASSERT_TRUE(QFile::setPermissions(tools.scriptPath(), QFile::ReadOwner | QFile::ReadGroup));

    const Status status = writeConversionScript(tools, shortRequest);
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains(tools.scriptPath())) << status->message.toStdString();
    EXPECT_TRUE(status->message.contains("read-only"));
    EXPECT_EQ(scriptContent(), before);
    EXPECT_EQ(toolFolderEntries(), QStringList{"WAV2AMR.bat"});
}

TEST_F(ScriptWriterTest, ARefusedPathLeavesThePreviousScriptWhole)
{
    ASSERT_EQ(writeConversionScript(tools, longRequest), std::nullopt);
    const QByteArray before = scriptContent();
    const Status status = writeConversionScript(tools, {"/m/x.mp3\r\nrm -rf /", "/m/x.amr", "7.4"});
    ASSERT_NE(status, std::nullopt);
    EXPECT_TRUE(status->message.contains("line break"));
    EXPECT_EQ(scriptContent(), before);
}
