#pragma once

// Whether two names lead to one file: the same name, or the same file reached through a
// symbolic or a hard link. The program checks a request's output against its input with
// it, and each tool its output against its input, since writing the output would destroy
// the input that is still to be read.

#include "FileSystemPath.h"

#include <string>
#include <system_error>

// std::filesystem compares the device and file numbers (the volume and file index on
// Windows) of the files both names lead to. False when either names no existing file.
inline bool sameFile(const std::string &first, const std::string &second)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(fileSystemPath(first), fileSystemPath(second), error);
    return same && !error;
}
