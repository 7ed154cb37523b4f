// Output files appear under their names only when complete.

#include "OutputFile.h"

#include "ToolRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

// What the tests write.
const std::span<const std::byte> newBytes = std::as_bytes(std::span("new", 3));

using OutputFileTest = ToolTest;

} // namespace

// (That an uncommitted file leaves the target as it was and no temporary file behind is
// EncoderTest's and ToolSafetyTest's, through the tools.)
TEST_F(OutputFileTest, ACommittedFileIsReadableByOthersLikeAnyFileTheUserMakes)
{
    const QString target = folder.filePath("song.amr");
    const mode_t previousMask = umask(022);
    auto file = audio::OutputFile::create(target.toStdString());
    umask(previousMask);
    ASSERT_TRUE(file.ok()) << file.error().message;
    ASSERT_FALSE(file.value().write(newBytes));
    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(contentsOf(target), "new");
    // Not private like a temporary file.
    EXPECT_TRUE(QFileInfo(target).permissions() & QFile::ReadOther);
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
    const QRegularExpression shape("^\\.(" + name.left(1) + "+)\\." + QString::number(QCoreApplication::applicationPid())
                                   + "\\.[A-Za-z0-9]{6}$");
    const QRegularExpressionMatch match = shape.match(decoded);
    ASSERT_TRUE(match.hasMatch()) << temporaryName;
#ifndef _WIN32
    // Room is left for a process id of ten digits, whatever this one's. (On Windows the
    // limit on a whole path, with this folder's, leaves less of the name.)
    EXPECT_EQ(match.capturedLength(1), 78);
#endif

    ASSERT_FALSE(file.value().write(newBytes));
    ASSERT_FALSE(file.value().commit());
    EXPECT_EQ(filesIn(folder.path()), QStringList{name});
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
        ASSERT_FALSE(file.value().write(newBytes));
        ASSERT_FALSE(file.value().commit());
        EXPECT_EQ(contentsOf(target), "new");
        EXPECT_EQ(filesIn(deep).size(), 1);
        QFile::remove(target);
    }
}
#endif
