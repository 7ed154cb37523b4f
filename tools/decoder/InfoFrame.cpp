// The tag after the side information, and its frame count.

#include "InfoFrame.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t bigEndian32(const unsigned char *bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

} // namespace

std::optional<InfoFrame> InfoFrame::of(const MpegFrameScanner::Frame &frame)
{
    const MpegFrameHeader &header = frame.header;
    if (header.layer != 3)
        return std::nullopt;
    const std::size_t tag = header.mainDataStart();
    const auto bytes = frame.bytes;
    if (bytes.size() < tag + 8)
        return std::nullopt;
    const bool zeros = std::all_of(bytes.begin() + 4 + (header.crc ? 2 : 0), bytes.begin() + static_cast<std::ptrdiff_t>(tag),
                                   [](unsigned char byte) { return byte == 0; });
    const bool named = std::memcmp(&bytes[tag], "Info", 4) == 0 || std::memcmp(&bytes[tag], "Xing", 4) == 0;
    if (!zeros || !named)
        return std::nullopt;
    const bool counted = bytes.size() >= tag + 12 && (bigEndian32(&bytes[tag + 4]) & 0x1);
    return InfoFrame{counted ? std::int64_t{bigEndian32(&bytes[tag + 8])} : -1};
}
