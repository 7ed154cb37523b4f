// The AMR storage format reader's checks, on files built byte by byte. (What the writer
// writes is pinned by EncoderTest's bytes for each mode.)

#include "AmrReader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Frame sizes by frame type, header byte included, from RFC 4867; 0 where AMR-NB has none.
constexpr int rfcFrameBytes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};

// A frame of `type` filled with bytes whose padding bits are set, so that a reader that
// takes a wrong size for a frame meets a header it refuses.
std::string frame(int type)
{
    return static_cast<char>((type << 3) | 0x04) + std::string(rfcFrameBytes[type] - 1, '\x5A');
}

// How many frames the reader reads from `bytes`, or its error.
std::string readingOf(const std::string &bytes)
{
    std::istringstream in(bytes);
    auto reader = audio::AmrReader::open(in);
    if (!reader.ok())
        return reader.error().message;
    audio::AmrReader::Frame buffer{};
    for (int frames = 0;; ++frames) {
        const auto size = reader.value().read(buffer);
        if (!size.ok())
            return size.error().message;
        if (size.value() == 0)
            return std::to_string(frames) + " frames";
    }
}

} // namespace

TEST(AmrReader, ReadsEveryFrameTypeOfAmrNbAndRefusesWrongMagicsAndDamagedFrames)
{
    std::string everyType = "#!AMR\n";
    for (const int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 15})
        everyType += frame(type);
    const std::string good = "#!AMR\n" + frame(7);
    const std::pair<std::string, std::string> cases[] = {
        {everyType, "10 frames"},
        {"#!AMX\n" + frame(7), "not an AMR-NB file"},
        {"#!AMR-WB\n" + frame(7), "AMR-WB"},
        {good + '\x84' + std::string(12, 'x'), "frame 2 (header byte 0x84) has padding bits set"},
        {good + '\x25' + std::string(19, 'x'), "frame 2 (header byte 0x25) has padding bits set"},
        {good + '\x64', "frame type 12"},
        {good + frame(4).substr(0, 11), "ends inside frame 2 (header byte 0x24): 11 of its 20 bytes"},
    };
    for (const auto &[bytes, expected] : cases) {
        const std::string reading = readingOf(bytes);
        EXPECT_NE(reading.find(expected), std::string::npos) << expected << " / " << reading;
    }
}
