// Output files appear under their names only when complete.

#include "OutputFile.h"

#include "ToolRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

namespace {

std::span<const std::byte> bytes(const char *text)
{
    return std::as_bytes(std::span(text, std::strlen(text)));
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        writeFile(target, "old");
    }

    QTemporaryDir folder;
    QString target = folder.filePath("song.amr");
};

} // namespace

TEST_F(OutputFileTest, ReplacesTheTargetOnlyWhenCommittedAndLeavesNoTemporaryFile)
{
    {
        auto file = audio::OutputFile::create(target.toStdString());
        ASSERT_TRUE(file.ok()) << file.error().message;
        ASSERT_FALSE(file.value().write(bytes("partial")));
    }
    EXPECT_EQ(contentsOf(target), "old");
    EXPECT_EQ(filesIn(folder.path()), QStringList{"song.amr"});

    const mode_t previousMask = umask(022);
    auto file = audio::OutputFile::create(target.toStdString());
    umask(previousMask);
    ASSERT_TRUE(file.ok()) << file.error().message;
    ASSERT_FALSE(file.value().write(bytes("new")));
    EXPECT_EQ(contentsOf(target), "old");
    EXPECT_EQ(filesIn(folder.path()).size(), 2);
    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(contentsOf(target), "new");
    EXPECT_EQ(filesIn(folder.path()), QStringList{"song.amr"});
    // Readable by others, like any file the user makes, not private like a temporary file.
    EXPECT_TRUE(QFileInfo(target).permissions() & QFile::ReadOther);
}

TEST_F(OutputFileTest, NamesTheTargetAndTheReasonWhenItCannotBeCreated)
{
    const std::string missing = folder.filePath("no such folder/song.amr").toStdString();
    const auto file = audio::OutputFile::create(missing);
    ASSERT_FALSE(file.ok());
    EXPECT_NE(file.error().message.find(missing + ": "), std::string::npos) << file.error().message;
    EXPECT_NE(file.error().message.find("No such file or directory"), std::string::npos);
}

TEST_F(OutputFileTest, ShortensTheTemporaryNameOfALongTargetAtACharacterBoundary)
{
    // 85 three-byte characters: 255 bytes, the longest name the folder takes. The tools
    // write every output through this class, so this holds for their outputs too.
    const QString name = QString(85, QChar(0x9234));
    auto file = audio::OutputFile::create(folder.filePath(name).toStdString());
    ASSERT_TRUE(file.ok()) << file.error().message;

    std::string temporaryName;
    for (const auto &entry : std::filesystem::directory_iterator(folder.path().toStdString())) {
        if (entry.path().filename().string().starts_with("."))
            temporaryName = entry.path().filename().string();
    }
    EXPECT_LE(temporaryName.size(), 255u);
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8(QByteArray::fromStdString(temporaryName));
    EXPECT_FALSE(utf8.hasError()) << "the name was cut inside a character";
    // Room is left for a process id of ten digits, whatever this one's.
    const QRegularExpression shape("^\\." + name.left(78) + "\\." + QString::number(QCoreApplication::applicationPid())
                                   + "\\.[A-Za-z0-9]{6}$");
    EXPECT_TRUE(shape.match(decoded).hasMatch()) << temporaryName;

    ASSERT_FALSE(file.value().write(bytes("new")));
    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(filesIn(folder.path()), QStringList({"song.amr", name}));
}

// (Windows limits a whole path to 260 characters.)
#ifndef _WIN32
TEST_F(OutputFileTest, TargetsUpToTheLongestPathTheSystemTakesAreWritten)
{
    // A folder path of 3900 bytes, and names that make 4090 to 4095 bytes with it: the
    // temporary path must fit the system's limit too, not only the name.
    QString deep = folder.path();
    while (deep.size() + 201 <= 3900)
        deep += "/" + QString(200, u'd');
    if (deep.size() + 1 < 3900)
        deep += "/" + QString(3900 - deep.size() - 1, u'd');
    ASSERT_TRUE(QDir().mkpath(deep));
    for (qsizetype length = 4090; length <= 4095; ++length) {
        const QString target = deep + "/" + QString(length - deep.size() - 1, u'n');
        SCOPED_TRACE(length);
        auto file = audio::OutputFile::create(target.toStdString());
        ASSERT_TRUE(file.ok()) << file.error().message;
        ASSERT_FALSE(file.value().write(bytes("new")));
        ASSERT_FALSE(file.value().commit());
        EXPECT_EQ(contentsOf(target), "new");
        EXPECT_EQ(filesIn(deep).size(), 1);
        QFile::remove(target);
    }
}
#endif
