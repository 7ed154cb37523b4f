#include "OutputFileName.h"

#include <gtest/gtest.h>

TEST(OutputFileName, TheExtensionBecomesAmrAndANameWithoutOneGetsIt)
{
    const struct {
        const char *chosen;
        const char *expected;
    } cases[] = {
        {"/music/song.mp3", "/music/song.amr"},
        {"/music/x.mpeg", "/music/x.amr"},
        {"/music/tone.amr", "/music/tone.amr"},
        {"/music/a.b.mp3", "/music/a.b.amr"},
        {"/music/ring", "/music/ring.amr"},
        {"/my.folder/ring", "/my.folder/ring.amr"},
        {"/music/song.", "/music/song.amr"},
        {"/music/.hidden", "/music/.hidden.amr"},
        {"r", "r.amr"},
        {"a.b", "a.amr"},
    };
    for (const auto &[chosen, expected] : cases)
        EXPECT_EQ(amrFileNameFor(chosen), expected) << chosen;
}
