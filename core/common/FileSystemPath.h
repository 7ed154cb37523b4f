#pragma once

// File names given as UTF-8, for std::filesystem: the tools take their names so (on
// Windows their manifest makes UTF-8 the code page of the C library's file functions),
// and the core hands it its names so. std::filesystem reads a char name in another
// encoding on Windows, so every name goes to it through this.

#include <filesystem>
#include <string>

#ifdef _WIN32
// The C++ library reads a char name in the "C" locale's encoding, not in the code page:
// only a name it knows for UTF-8 reaches the right file.
inline std::filesystem::path fileSystemPath(const std::string &name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}
#else
// A name is bytes to the system, whether or not they are UTF-8.
inline std::filesystem::path fileSystemPath(const std::string &name)
{
    return std::filesystem::path(name);
}
#endif
