// The AMR storage format reader's checks and the writer's frame check.

#include "AmrReader.h"
#include "AmrWriter.h"
#include "OutputFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Frame sizes by frame type, header byte included, from RFC 4867; 0 where AMR-NB has none.
constexpr int rfcFrameBytes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};

std::string frame(int type, char fill = '\x5A')
{
    const char header = static_cast<char>((type << 3) | 0x04);
    return header + std::string(rfcFrameBytes[type] - 1, fill);
}

std::span<const std::uint8_t> bytesOf(const std::string &text, std::size_t from, std::size_t count)
{
    return std::span(reinterpret_cast<const std::uint8_t *>(text.data()) + from, count);
}

std::string errorOf(const std::string &bytes)
{
    std::istringstream in(bytes);
    auto reader = audio::AmrReader::open(in);
    if (!reader.ok())
        return reader.error().message;
    audio::AmrReader::Frame buffer{};
    for (;;) {
        const auto size = reader.value().read(buffer);
        if (!size.ok())
            return size.error().message;
        if (size.value() == 0)
            return "(accepted)";
    }
}

} // namespace

TEST(AmrReader, ReadsEveryFrameTypeOfAmrNb)
{
    std::string file = "#!AMR\n";
    for (const int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 15})
        file += frame(type);
    std::istringstream in(file);
    auto reader = audio::AmrReader::open(in);
    ASSERT_TRUE(reader.ok()) << reader.error().message;
    audio::AmrReader::Frame buffer{};
    for (const int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 15}) {
        const auto size = reader.value().read(buffer);
        ASSERT_TRUE(size.ok()) << size.error().message;
        EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + size.value()), frame(type));
    }
    const auto end = reader.value().read(buffer);
    ASSERT_TRUE(end.ok());
    EXPECT_EQ(end.value(), 0u);
}

TEST(AmrReader, RefusesWrongMagicsAndDamagedFrames)
{
    const std::string good = "#!AMR\n" + frame(7);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "not an AMR-NB file"},
        {"#!AMX\n" + frame(7), "not an AMR-NB file"},
        {"#!AMR-WB\n" + frame(7), "AMR-WB"},
        {good + '\x84' + std::string(12, 'x'), "frame 2 (header byte 0x84) has padding bits set"},
        {good + '\x25' + std::string(19, 'x'), "frame 2 (header byte 0x25) has padding bits set"},
        {good + '\x64', "frame type 12"},
        {good + frame(4).substr(0, 11), "ends inside frame 2 (header byte 0x24): 11 of its 20 bytes"},
    };
    for (const auto &[bytes, expected] : cases) {
        const std::string message = errorOf(bytes);
        EXPECT_NE(message.find(expected), std::string::npos) << expected << " / " << message;
    }
}

TEST(AmrWriter, WritesTheMagicAndOnlyFramesThatMatchTheirHeaders)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("out.amr").toStdString();
    auto file = audio::OutputFile::create(path);
    ASSERT_TRUE(file.ok());
    auto amr = audio::AmrWriter::start(file.value());
    ASSERT_TRUE(amr.ok());
    const std::string good = frame(0) + frame(7);
    const std::string shortFrame = frame(7).substr(0, 31);
    ASSERT_FALSE(amr.value().write(bytesOf(good, 0, 13)).has_value());
    EXPECT_TRUE(amr.value().write(bytesOf(shortFrame, 0, shortFrame.size())).has_value());
    ASSERT_FALSE(amr.value().write(bytesOf(good, 13, 32)).has_value());
    ASSERT_FALSE(file.value().commit());

    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), "#!AMR\n" + good);
}
