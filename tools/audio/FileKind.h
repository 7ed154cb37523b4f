#pragma once

// The tools read and replace regular files only. Anything else is refused before it is
// opened: opening a named pipe waits for a writer that may never come, a device or a
// socket holds no file to read or replace, and a folder is the user's.

#include <optional>
#include <string>

namespace audio {

// Why the path is no file the tools take, such as "it is a folder, not a file"; nothing
// for a regular file, also one reached through links, and for a path that names nothing
// or cannot be looked at (whose open then says why).
std::optional<std::string> notAFile(const std::string &path);

} // namespace audio
