#include "FileSystemPath.h"

namespace audio {

std::filesystem::path fileSystemPath(const std::string &name)
{
#ifdef _WIN32
    // The C++ library reads a char name in the "C" locale's encoding, not in the code
    // page: only a name it knows for UTF-8 reaches the right file.
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
    // A name is bytes to the system, whether or not they are UTF-8.
    return std::filesystem::path(name);
#endif
}

} // namespace audio
