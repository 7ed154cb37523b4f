// In samples at the stream's own rate, before any resampling.

#include "GaplessCuts.h"

#include "MpegFrameDecoder.h"

GaplessCuts GaplessCuts::of(std::int64_t announcedFrames, long delay, long padding)
{
    constexpr long synthesisDelay = MpegFrameDecoder::synthesisDelay;
    GaplessCuts cuts;
    if (delay >= 0)
        cuts.start = static_cast<std::uint64_t>(delay + synthesisDelay);
    else if (announcedFrames >= 0)
        cuts.start = synthesisDelay;
    if (announcedFrames >= 0 && delay >= 0 && padding > synthesisDelay)
        cuts.end = static_cast<std::uint64_t>(padding - synthesisDelay);
    return cuts;
}
