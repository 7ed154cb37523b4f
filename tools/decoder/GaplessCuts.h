#pragma once

// The samples a gapless decode cuts from a stream that a LAME or Xing header starts: from
// the start, the encoder's delay (where the LAME part gives it) and libmpg123's synthesis
// delay; from the end, the encoder's padding less the synthesis delay, which has pushed
// that much of it past the last frame. A stream without such a header is not cut.
// The end's cut belongs to the stream the header describes: Mp3Decoder makes it only when
// the stream has the frames the header announces, and Mp3Survey lets runs decode no other.

#include <cstdint>

struct GaplessCuts {
    std::uint64_t start = 0;
    std::uint64_t end = 0;

    // For a stream whose LAME header announces `announcedFrames` (-1 without a count) and
    // gives the encoder's `delay` and `padding` in samples (-1 without a LAME header).
    static GaplessCuts of(std::int64_t announcedFrames, long delay, long padding);
};
