// Requests are checked before a script is written: what would fail, or destroy the
// user's music, gets a message instead; relative names mean what the user means.

#include "RequestCheck.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class RequestCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(music.isValid());
        ASSERT_TRUE(QDir(music.path()).mkdir("ringtones"));
        writeFile(song, "an MP3 in all but name");
    }

    // The failure's message, or "" when the request passes.
    QString refusal(const QString &input, const QString &output, const QString &working = "/")
    {
        const Result<ConversionRequest> checked = checkedRequest({input, output, "7.4"}, working);
        return checked.ok() ? QString() : checked.error().message;
    }

    // A name in the music folder as the check gives names back: absolute, with native
    // separators.
    QString at(const QString &name) const { return QDir::toNativeSeparators(music.filePath(name)); }

    QTemporaryDir music;
    const QString song = at("song.amr");
};

} // namespace

TEST_F(RequestCheckTest, EmptyBoxesAreRefusedSayingWhatToChoose)
{
    EXPECT_TRUE(refusal("", at("x.amr")).contains("input box is empty"));
    EXPECT_TRUE(refusal(song, "").contains("output box is empty"));
}

TEST_F(RequestCheckTest, AnInputThatIsMissingOrNoFileIsRefusedByName)
{
    const QString missing = at("gone.mp3");
    EXPECT_TRUE(refusal(missing, at("x.amr")).contains("\"" + missing + "\" does not exist"));
    const QString folder = at("ringtones");
    EXPECT_TRUE(refusal(folder, at("x.amr")).contains("\"" + folder + "\" is not a file"));
}

TEST_F(RequestCheckTest, TheOutputMayNotBeTheInputItselfUnderAnyName)
{
    // An MP3 whose name ends in .amr is offered itself as the output.
    EXPECT_TRUE(refusal(song, song).contains("is the input file itself"));
    EXPECT_TRUE(refusal(song, at("ringtones/../song.amr")).contains("is the input file itself"));
    EXPECT_TRUE(refusal(song, "song.amr").contains("is the input file itself"));

#ifndef _WIN32
    // (Qt makes a shortcut on Windows, not a link.)
    const QString symbolic = at("ringtones/link.amr");
    ASSERT_TRUE(QFile::link(song, symbolic));
    EXPECT_TRUE(refusal(song, symbolic).contains("is the input file itself"));
#endif
    const QString hard = at("ringtones/hard.amr");
    std::filesystem::create_hard_link(song.toStdU16String(), hard.toStdU16String());
    EXPECT_TRUE(refusal(song, hard).contains("is the input file itself"));
}

TEST_F(RequestCheckTest, AnOutputInAMissingFolderOrThatIsAFolderIsRefused)
{
    const QString nowhere = at("no such folder");
    EXPECT_TRUE(refusal(song, at("no such folder/x.amr")).contains("\"" + nowhere + "\" for the output file does not exist"));
    EXPECT_TRUE(refusal(song, at("ringtones")).contains("is a folder"));
}

TEST_F(RequestCheckTest, RelativeNamesLandWhereTheUserMeansThem)
{
    // The input against the program's working folder; a bare output name, or one below
    // the input's folder, beside the input rather than in the hidden tool folder.
    const Result<ConversionRequest> bare = checkedRequest({"song.amr", "ring.amr", "10.2"}, music.path());
    ASSERT_TRUE(bare.ok()) << bare.error().message.toStdString();
    EXPECT_EQ(bare.value().inputPath, song);
    EXPECT_EQ(bare.value().outputPath, at("ring.amr"));
    EXPECT_EQ(bare.value().rateText, "10.2");

    const Result<ConversionRequest> below = checkedRequest({song, "ringtones/ring.amr", "7.4"}, "/");
    ASSERT_TRUE(below.ok()) << below.error().message.toStdString();
    EXPECT_EQ(below.value().outputPath, at("ringtones/ring.amr"));

    const Result<ConversionRequest> absolute = checkedRequest({song, at("ringtones/ring.amr"), "7.4"}, "/");
    ASSERT_TRUE(absolute.ok());
    EXPECT_EQ(absolute.value().outputPath, at("ringtones/ring.amr"));
}
