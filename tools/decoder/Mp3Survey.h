#pragma once

// One pass over the frames of an MPEG audio file, without decoding them, that tells
// whether the decoder may cut the stream into runs that decode side by side and join as
// one decode would. That is so when the stream has one format throughout (the same
// version, layer, rate and channels, and not free format), its frames follow each other
// without junk or tags between them, no LAME header but the first, a frame count that
// agrees with that header, and a last frame that is whole. Anything else is damage of a
// kind that one run decodes and reports.
//
// It notes where every checkpointSpacing-th audio frame starts, so that a run finds its
// first frame without scanning from the start: a few kilobytes for an hour.

#include "GaplessCuts.h"
#include "MpegFrameHeader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Mp3Survey {
public:
    static constexpr std::uint64_t checkpointSpacing = 64;

    // What the survey found in the file at `path` when it is MPEG audio that runs can
    // decode; nothing otherwise, also when it cannot be read (the decode in one run then
    // says what there is to say).
    static std::optional<Mp3Survey> of(const std::string &path);

    // The audio frames' header (the bit rate and padding of the first).
    const MpegFrameHeader &format() const { return m_format; }
    std::uint64_t audioFrames() const { return m_audioFrames; }
    // Decoded samples cut from the start and from the end for a gapless decode (what
    // Mp3Decoder cuts), and the samples left between them, which are resampled.
    const GaplessCuts &cuts() const { return m_cuts; }
    std::uint64_t samples() const;

    // Frames a run decodes before the first frame whose samples it needs: enough to fill
    // libmpg123's bit reservoir at the stream's lowest bit rate and to settle its
    // synthesis filters, so that the frames after them decode as in one run.
    std::uint64_t primingFrames() const { return m_primingFrames; }

    struct Checkpoint {
        std::uint64_t frame;  // audio frames before it
        std::uint64_t offset; // in the file
    };
    // The last checkpoint at or before audio frame `frame`.
    Checkpoint checkpointBefore(std::uint64_t frame) const;

private:
    Mp3Survey() = default;

    MpegFrameHeader m_format{};
    std::uint64_t m_audioFrames = 0;
    GaplessCuts m_cuts;
    std::uint64_t m_primingFrames = 0;
    std::vector<std::uint64_t> m_checkpoints; // offsets of frames 0, checkpointSpacing, ...
};
