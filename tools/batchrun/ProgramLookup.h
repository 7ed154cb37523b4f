#pragma once

#include <optional>
#include <string>

// Finds the program a script line names. A name with a "/" is taken as a path, as it is
// or with ".exe" appended (the script names the encoder without an extension and the
// decoder with one). A bare name is looked for in the current folder, then along PATH,
// with the same two spellings.
std::optional<std::string> findProgram(const std::string &name);
