// The bit rate and sample rate tables of MPEG audio, and the frame length they give.

#include "MpegFrameHeader.h"

#include <array>

namespace {

// Kilobits per second by bit rate index; index 0 is free format, 15 is reserved.
constexpr std::array<std::array<int, 15>, 3> mpeg1Bitrates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // layer III
}};
constexpr std::array<std::array<int, 15>, 3> mpeg2Bitrates{{
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256}, // layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},      // layers II and III
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};
constexpr std::array<long, 3> mpeg1Rates{44100, 48000, 32000};

} // namespace

std::optional<MpegFrameHeader> MpegFrameHeader::parse(const unsigned char *bytes)
{
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0)
        return std::nullopt;
    const int versionBits = (bytes[1] >> 3) & 0x03;
    const int layerBits = (bytes[1] >> 1) & 0x03;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 0x03;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    // Free format is only in use for layer III; in layers I and II it is no more than a
    // pattern in other data (0xFF 0xFF 0x00 is common in binary files).
    if (bitrateIndex == 0 && layerBits != 1)
        return std::nullopt;

    MpegFrameHeader header{};
    header.version = versionBits == 3 ? Version::mpeg1 : versionBits == 2 ? Version::mpeg2 : Version::mpeg25;
    header.layer = 4 - layerBits;
    header.bitrateIndex = bitrateIndex;
    const int rateDivisor = header.version == Version::mpeg1 ? 1 : header.version == Version::mpeg2 ? 2 : 4;
    header.sampleRate = mpeg1Rates[static_cast<std::size_t>(rateIndex)] / rateDivisor;
    header.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
    header.padded = (bytes[2] & 0x02) != 0;
    header.crc = (bytes[1] & 0x01) == 0;
    header.samplesPerFrame =
        header.layer == 1 ? 384 : (header.layer == 3 && header.version != Version::mpeg1) ? 576 : 1152;

    const auto &bitrates = header.version == Version::mpeg1 ? mpeg1Bitrates : mpeg2Bitrates;
    const long bitsPerSecond = 1000L * bitrates[static_cast<std::size_t>(header.layer - 1)]
                                                [static_cast<std::size_t>(bitrateIndex)];
    if (bitrateIndex == 0) {
        header.frameBytes = 0;
    } else if (header.layer == 1) {
        header.frameBytes = static_cast<std::size_t>(12 * bitsPerSecond / header.sampleRate * 4) + header.paddingBytes();
    } else {
        const long bytesPerSample = header.samplesPerFrame / 8;
        header.frameBytes = static_cast<std::size_t>(bytesPerSample * bitsPerSecond / header.sampleRate) + header.paddingBytes();
    }
    return header;
}

bool MpegFrameHeader::continues(const MpegFrameHeader &other) const
{
    return version == other.version && layer == other.layer && sampleRate == other.sampleRate
           && (bitrateIndex == 0) == (other.bitrateIndex == 0);
}

std::size_t MpegFrameHeader::paddingBytes() const
{
    return padded ? (layer == 1 ? 4 : 1) : 0;
}

std::size_t MpegFrameHeader::freeFormatBytes(std::size_t unpaddedBytes) const
{
    return unpaddedBytes + paddingBytes();
}

std::size_t MpegFrameHeader::mainDataStart() const
{
    const bool mpeg1 = version == Version::mpeg1;
    return 4 + (crc ? 2 : 0) + (channels == 2 ? (mpeg1 ? 32 : 17) : (mpeg1 ? 17 : 9));
}
