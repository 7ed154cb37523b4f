#pragma once

// The tools take file names in UTF-8 (on Windows their manifest makes UTF-8 the code
// page of the C library's file functions). std::filesystem reads a char name in another
// encoding there, so every name goes to it through this.

#include <filesystem>
#include <string>

namespace audio {

std::filesystem::path fileSystemPath(const std::string &name);

} // namespace audio
