// How converter wav2amr cuts a file's frames into runs: each run warmed up on the frames
// just before it, as many as there are up to the warm-up's length.

#include "FrameRuns.h"
#include "RunsCover.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(FrameRuns, RunsCoverEveryFrameOnceInOrderWithinTheThreadLimit)
{
    for (const std::uint32_t frames : {1u, minimumRunFrames, 2 * minimumRunFrames - 1, 2 * minimumRunFrames,
                                       10 * minimumRunFrames + 7, 180000u /* one hour */}) {
        for (const unsigned threads : {1u, 2u, 3u, 7u, 16u}) {
            SCOPED_TRACE(std::to_string(frames) + " frames, " + std::to_string(threads) + " threads");
            const std::vector<FrameRun> runs = cutIntoRuns(frames, threads);
            expectRunsCover(runs, frames, threads, minimumRunFrames);
            for (const FrameRun &run : runs)
                EXPECT_EQ(run.from - run.warmUpFrom, std::min(run.from, warmUpFrames));
        }
    }
}
