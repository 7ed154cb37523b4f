#pragma once

// The LAME/Xing header frame that starts many MP3 files: a layer III frame whose side
// information is all zero and whose data starts with "Xing" or "Info". It holds no audio
// but says how many frames the stream has (libmpg123 reads the encoder delay and padding
// from the LAME part of it).

#include "MpegFrameScanner.h"

#include <cstdint>
#include <optional>

struct InfoFrame {
    std::int64_t announcedFrames; // audio frames, the header's own excluded; -1 when it does not say

    // What `frame` says when it is such a header; nothing when it is audio.
    static std::optional<InfoFrame> of(const MpegFrameScanner::Frame &frame);
};
