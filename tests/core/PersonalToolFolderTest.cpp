#include "PersonalToolFolder.h"
#include "TestInstallation.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An installation whose tools are the stand-in, and a home for the user's own tool folder.
class PersonalToolFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installation.isValid() && home.isValid());
        ASSERT_TRUE(installation.addStandIns() && installation.addScriptRunner());
    }

#ifdef _WIN32
    // Windows has no script runner, and lets only administrators make links; the
    // decoder loads its module from its own folder.
    void expectLinksToTheInstalledTools(const ToolFolder &personal)
    {
        for (const auto &[copy, tool] : {std::pair{personal.decoderPath(), installed.decoderPath()},
                                         std::pair{personal.decoderModulePath(), installed.decoderModulePath()},
                                         std::pair{personal.encoderFilePath(), installed.encoderFilePath()}}) {
            EXPECT_FALSE(QFileInfo(copy).isSymLink()) << copy.toStdString();
            EXPECT_EQ(contentsOf(copy), contentsOf(tool)) << copy.toStdString();
        }
    }
#else
    void expectLinksToTheInstalledTools(const ToolFolder &personal)
    {
        EXPECT_EQ(QFileInfo(personal.decoderPath()).symLinkTarget(), installed.decoderPath());
        EXPECT_EQ(QFileInfo(personal.encoderPath()).symLinkTarget(), installed.encoderPath());
        EXPECT_EQ(QFileInfo(personal.scriptRunnerPath()).symLinkTarget(),
                  installed.scriptRunnerPath());
    }
#endif

    TestInstallation installation;
    const ToolFolder &installed = installation.tools();
    QTemporaryDir home;
    QString personalDirectory = home.filePath("share/amrconvert");
};

} // namespace

TEST_F(PersonalToolFolderTest, LinksToTheInstalledToolsAndWritesNothingIntoTheInstallation)
{
    const auto personal = personalToolFolder(installed, personalDirectory);
    ASSERT_TRUE(personal);
    EXPECT_EQ(personal->applicationDirectory(), QDir::toNativeSeparators(personalDirectory));
    expectLinksToTheInstalledTools(*personal);
    QStringList installedFiles{QFileInfo(installed.encoderFilePath()).fileName(),
                               QFileInfo(installed.decoderModulePath()).fileName(), "madplay.exe"};
    installedFiles.sort();
    EXPECT_EQ(QDir(installed.path()).entryList(QDir::Files), installedFiles);
}

TEST_F(PersonalToolFolderTest, ReplacesLinksAndFilesThatLeadElsewhere)
{
    const auto first = personalToolFolder(installed, personalDirectory);
    ASSERT_TRUE(first);
    ASSERT_TRUE(QFile::remove(first->decoderPath()));
    ASSERT_TRUE(QFile::link(STAND_IN_PATH, first->decoderPath()));
    ASSERT_TRUE(QFile::remove(first->encoderFilePath()));
    QFile plain(first->encoderFilePath());
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const auto second = personalToolFolder(installed, personalDirectory);
    ASSERT_TRUE(second);
    expectLinksToTheInstalledTools(*second);
}

TEST_F(PersonalToolFolderTest, IsEmptyWhenTheFolderCannotBeMade)
{
    QFile blocker(personalDirectory);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(personalDirectory).path()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(personalToolFolder(installed, personalDirectory), std::nullopt);
}
