#pragma once

// Whether two paths name the same file: the same name, or the same file reached through
// a symbolic or a hard link. A tool checks its output against its input with it, since
// writing the output would destroy the input it is still reading.

#include <string>

namespace audio {

// False when either path names no existing file.
bool sameFile(const std::string &first, const std::string &second);

} // namespace audio
