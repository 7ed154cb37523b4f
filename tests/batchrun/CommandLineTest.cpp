#include "CommandLine.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(CommandLine, BlanksSeparateWordsQuotesGroupThemAndDoublePercentStandsForOne)
{
    const std::pair<const char *, Words> lines[] = {
        {"  cd   \"/opt/my tools/amr\"  ", {"cd", "/opt/my tools/amr"}},
        {"-o wave:\"/a b/t.wav\" x", {"-o", "wave:/a b/t.wav", "x"}},
        {"pre\"mid dle\"post", {"premid dlepost"}},
        {"", {}},
        {"   ", {}},
        {"\"100%% hits.mp3\" 5% %%%", {"100% hits.mp3", "5%", "%%"}},
    };
    for (const auto &[line, words] : lines)
        EXPECT_EQ(splitCommandLine(line), words) << line;
}
