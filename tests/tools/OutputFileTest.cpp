// Output files appear under their names only when complete.

#include "OutputFile.h"

#include "ToolRun.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }

    QByteArray targetContents() const
    {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    static std::span<const std::byte> bytes(const char *text)
    {
        return std::as_bytes(std::span(text, std::strlen(text)));
    }

    QTemporaryDir folder;
    QString target = folder.filePath("song.amr");
};

} // namespace

TEST_F(OutputFileTest, ReplacesTheTargetOnlyWhenCommitted)
{
    const mode_t previousMask = umask(022);
    auto file = audio::OutputFile::create(target.toStdString());
    umask(previousMask);
    ASSERT_TRUE(file.ok()) << file.error().message;
    ASSERT_FALSE(file.value().write(bytes("new")));
    EXPECT_EQ(targetContents(), "old");
    EXPECT_EQ(filesIn(folder.path()).size(), 2);

    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(targetContents(), "new");
    EXPECT_EQ(filesIn(folder.path()), QStringList{"song.amr"});
    // Readable by others, like any file the user makes, not private like a temporary file.
    EXPECT_TRUE(QFileInfo(target).permissions() & QFile::ReadOther);
}

TEST_F(OutputFileTest, LeavesTheTargetAndNoTemporaryFileWhenNotCommitted)
{
    {
        auto file = audio::OutputFile::create(target.toStdString());
        ASSERT_TRUE(file.ok());
        ASSERT_FALSE(file.value().write(bytes("partial")));
    }
    EXPECT_EQ(targetContents(), "old");
    EXPECT_EQ(filesIn(folder.path()), QStringList{"song.amr"});
}

TEST_F(OutputFileTest, NamesTheTargetWhenItCannotBeCreated)
{
    const std::string missing = folder.filePath("no such folder/song.amr").toStdString();
    const auto file = audio::OutputFile::create(missing);
    ASSERT_FALSE(file.ok());
    EXPECT_NE(file.error().message.find(missing), std::string::npos) << file.error().message;
    EXPECT_NE(file.error().message.find("No such file or directory"), std::string::npos);
}

TEST_F(OutputFileTest, ShortensTheTemporaryNameOfALongTargetAtACharacterBoundary)
{
    // 85 three-byte characters: 255 bytes, the longest name the folder takes.
    const QString name = QString(85, QChar(0x9234));
    const QString longTarget = folder.filePath(name);
    auto file = audio::OutputFile::create(longTarget.toStdString());
    ASSERT_TRUE(file.ok()) << file.error().message;

    std::string temporaryName;
    for (const auto &entry : std::filesystem::directory_iterator(folder.path().toStdString())) {
        if (entry.path().filename().string().starts_with("."))
            temporaryName = entry.path().filename().string();
    }
    ASSERT_FALSE(temporaryName.empty());
    EXPECT_LE(temporaryName.size(), 255u);
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8(QByteArray::fromStdString(temporaryName));
    EXPECT_FALSE(utf8.hasError()) << "the name was cut inside a character";
    EXPECT_TRUE(decoded.startsWith("." + name.left(80)));

    ASSERT_FALSE(file.value().write(bytes("new")));
    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(filesIn(folder.path()), QStringList({"song.amr", name}));
}
