#include "CommandLine.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(CommandLine, BlanksSeparateWordsAndQuotesGroupThem)
{
    EXPECT_EQ(splitCommandLine("  cd   \"/opt/my tools/amr\"  "), Words({"cd", "/opt/my tools/amr"}));
    EXPECT_EQ(splitCommandLine("a\tb"), Words({"a", "b"}));
    EXPECT_EQ(splitCommandLine("-o wave:\"/a b/t.wav\" x"), Words({"-o", "wave:/a b/t.wav", "x"}));
    EXPECT_EQ(splitCommandLine("pre\"mid dle\"post"), Words({"premid dlepost"}));
    EXPECT_EQ(splitCommandLine(""), Words{});
    EXPECT_EQ(splitCommandLine("   "), Words{});
}

TEST(CommandLine, EmptyQuotesAreAnEmptyWord)
{
    EXPECT_EQ(splitCommandLine("conv \"in.wav\" \"\" MR74"), Words({"conv", "in.wav", "", "MR74"}));
}

TEST(CommandLine, DoublePercentStandsForOnePercent)
{
    EXPECT_EQ(splitCommandLine("\"100%% hits.mp3\" 5% %%%"), Words({"100% hits.mp3", "5%", "%%"}));
}

TEST(CommandLine, AnUnclosedQuoteRunsToTheEndOfTheLine)
{
    EXPECT_EQ(splitCommandLine("a \"b c"), Words({"a", "b c"}));
}
