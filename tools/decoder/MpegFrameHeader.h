#pragma once

// The four bytes that start every MPEG audio frame (MPEG 1, 2 and 2.5, layers I to III):
// what they say about the stream and how long the frame is.

#include <cstddef>
#include <cstdint>
#include <optional>

struct MpegFrameHeader {
    enum class Version { mpeg1, mpeg2, mpeg25 };

    Version version;
    int layer;              // 1 to 3
    int bitrateIndex;       // 0 for free format, where the bit rate is the stream's own
    long sampleRate;
    int channels;
    bool padded;
    bool crc;               // a 16-bit checksum follows the header
    int samplesPerFrame;
    // The frame's length, header included; 0 for free format, whose length only the
    // distance to the next frame tells.
    std::size_t frameBytes;

    // The header at `bytes` (four of them), or nothing when they cannot start a frame:
    // no sync bits, a reserved version, layer, bit rate or sample rate, or free format in
    // layer I or II.
    static std::optional<MpegFrameHeader> parse(const unsigned char *bytes);

    // Whether a frame with this header can follow `other` in one stream: the same version,
    // layer and sample rate. Channels may change (joined files do that), and the bit rate
    // may (VBR), but never from free format to a fixed rate or back.
    bool continues(const MpegFrameHeader &other) const;

    // The bytes the padding bit adds to the frame: a slot, which is 4 bytes in layer I and
    // 1 in layers II and III.
    std::size_t paddingBytes() const;

    // A free-format frame's length for a stream whose unpadded frames are `unpaddedBytes` long.
    std::size_t freeFormatBytes(std::size_t unpaddedBytes) const;

    // Where a layer III frame's main data starts: after the header, the checksum and the
    // side information.
    std::size_t mainDataStart() const;

    // The largest frame libmpg123 accepts, header included.
    static constexpr std::size_t maxFrameBytes = 3456 + 4;
};
