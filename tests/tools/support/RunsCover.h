#pragma once

// What both tools' cutting of their input into runs must give, whether it counts MP3
// samples (the decoder) or AMR frames (the encoder): every one of `count` items once and
// in order, in no more runs than `threads`, none shorter than `minimum` when there are
// several; one run for an input shorter than two minimum runs, and a run per thread for
// an input long enough to give each thread the minimum.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

template <typename Run>
void expectRunsCover(const std::vector<Run> &runs, std::uint64_t count, unsigned threads, std::uint64_t minimum)
{
    ASSERT_FALSE(runs.empty());
    EXPECT_LE(runs.size(), threads);
    if (count < 2 * minimum) {
        EXPECT_EQ(runs.size(), 1u);
    }
    if (count >= threads * minimum) {
        EXPECT_EQ(runs.size(), threads);
    }
    EXPECT_EQ(runs.front().from, 0u);
    EXPECT_EQ(runs.back().to, count);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(runs[i].from, runs[i - 1].to);
        }
        EXPECT_LT(runs[i].from, runs[i].to);
        if (runs.size() > 1) {
            EXPECT_GE(runs[i].to - runs[i].from, minimum);
        }
    }
}
