// How converter wav2amr cuts a file's frames into runs: every frame once, in order, each
// run warmed up on at most the frames before it, no more runs than threads, none shorter
// than the minimum, and short inputs in one run.

#include "FrameRuns.h"

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
            ASSERT_FALSE(runs.empty());
            EXPECT_LE(runs.size(), threads);
            EXPECT_EQ(runs.front().from, 0u);
            EXPECT_EQ(runs.back().to, frames);
            for (std::size_t i = 0; i < runs.size(); ++i) {
                const FrameRun &run = runs[i];
                if (i > 0) {
                    EXPECT_EQ(run.from, runs[i - 1].to);
                }
                EXPECT_LT(run.from, run.to);
                if (runs.size() > 1) {
                    EXPECT_GE(run.to - run.from, minimumRunFrames);
                }
                // Warmed up on the frames just before the cut, as many as there are up to
                // the warm-up's length.
                EXPECT_EQ(run.from - run.warmUpFrom, std::min(run.from, warmUpFrames));
            }
            // Short inputs stay in one run; long ones use every thread.
            if (frames < 2 * minimumRunFrames) {
                EXPECT_EQ(runs.size(), 1u);
            }
            if (frames >= threads * minimumRunFrames) {
                EXPECT_EQ(runs.size(), threads);
            }
        }
    }
}
