#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits one script line into words the way the command interpreter hands them to a
// program: blanks separate words, double quotes group blanks into a word and are removed
// (wave:"/a b/t.wav" is the one word wave:/a b/t.wav), and "%%" stands for "%". Nothing
// else is expanded.
std::vector<std::string> splitCommandLine(std::string_view line);
