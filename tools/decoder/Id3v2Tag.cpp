// The tag's header, read as the ID3v2 standard lays it out.

#include "Id3v2Tag.h"

#include <cstring>

std::uint64_t id3v2TagLength(std::span<const unsigned char> bytes)
{
    if (bytes.size() < 10 || std::memcmp(bytes.data(), "ID3", 3) != 0 || bytes[3] == 0xFF || bytes[4] == 0xFF
        || (bytes[6] | bytes[7] | bytes[8] | bytes[9]) >= 0x80)
        return 0;
    const std::uint64_t size = (std::uint64_t{bytes[6]} << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9];
    const bool footer = (bytes[5] & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}
