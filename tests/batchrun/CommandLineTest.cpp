#include "CommandLine.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(CommandLine, BlanksSeparateWordsQuotesGroupThemAndDoublePercentStandsForOne)
{
    const std::pair<const char *, Words> lines[] = {
        {"  cd   \"/opt/my tools/amr\"  ", {"cd", "/opt/my tools/amr"}},
        {"a\tb", {"a", "b"}},
        {"-o wave:\"/a b/t.wav\" x", {"-o", "wave:/a b/t.wav", "x"}},
        {"pre\"mid dle\"post", {"premid dlepost"}},
        {"", {}},
        {"   ", {}},
        {"conv \"in.wav\" \"\" MR74", {"conv", "in.wav", "", "MR74"}}, // empty quotes are an empty word
        {"\"100%% hits.mp3\" 5% %%%", {"100% hits.mp3", "5%", "%%"}},
        {"a \"b c", {"a", "b c"}}, // an unclosed quote runs to the end of the line
    };
    for (const auto &[line, words] : lines)
        EXPECT_EQ(splitCommandLine(line), words) << line;
}
