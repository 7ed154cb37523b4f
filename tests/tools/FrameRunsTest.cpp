// How converter wav2amr cuts a file's frames into runs. (That each run's warm-up keeps a
// join from clicking is EncoderTest's, end to end.)

#include "FrameRuns.h"
#include "RunsCover.h"

#include <gtest/gtest.h>

#include <string>

TEST(FrameRuns, RunsCoverEveryFrameOnceInOrderWithinTheThreadLimit)
{
    for (const std::uint32_t frames : {1u, minimumRunFrames, 2 * minimumRunFrames - 1, 2 * minimumRunFrames,
                                       10 * minimumRunFrames + 7, 180000u /* one hour */}) {
        for (const unsigned threads : {1u, 2u, 3u, 7u, 16u}) {
            SCOPED_TRACE(std::to_string(frames) + " frames, " + std::to_string(threads) + " threads");
            expectRunsCover(cutIntoRuns(frames, threads), frames, threads, minimumRunFrames);
        }
    }
}
