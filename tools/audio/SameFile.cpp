// std::filesystem compares the device and file numbers (the volume and file index on
// Windows) of the files both paths lead to.

#include "SameFile.h"

#include "FileSystemPath.h"

#include <filesystem>
#include <system_error>

namespace audio {

bool sameFile(const std::string &first, const std::string &second)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(fileSystemPath(first), fileSystemPath(second), error);
    return same && !error;
}

} // namespace audio
