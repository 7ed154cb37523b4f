// Equal runs, each warmed up on the frames before it.

#include "FrameRuns.h"

#include <algorithm>

std::vector<FrameRun> cutIntoRuns(std::uint32_t frameCount, unsigned threads)
{
    const std::uint64_t count = std::clamp<std::uint64_t>(frameCount / minimumRunFrames, 1, threads);
    std::vector<FrameRun> runs;
    for (std::uint64_t run = 0; run < count; ++run) {
        const auto from = static_cast<std::uint32_t>(frameCount * run / count);
        const auto to = static_cast<std::uint32_t>(frameCount * (run + 1) / count);
        runs.push_back({from - std::min(from, warmUpFrames), from, to});
    }
    return runs;
}
