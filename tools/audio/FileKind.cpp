// The kind of file by std::filesystem, which does not open it.

#include "FileKind.h"

#include "FileSystemPath.h"

#include <filesystem>
#include <system_error>

namespace audio {

std::optional<std::string> notAFile(const std::string &path)
{
    std::error_code error;
    switch (std::filesystem::status(fileSystemPath(path), error).type()) {
    case std::filesystem::file_type::regular:
    case std::filesystem::file_type::not_found:
    case std::filesystem::file_type::none:
        return std::nullopt;
    case std::filesystem::file_type::directory:
        return "it is a folder, not a file";
    case std::filesystem::file_type::fifo:
        return "it is a named pipe, not a file";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character:
        return "it is a device, not a file";
    case std::filesystem::file_type::socket:
        return "it is a socket, not a file";
    default:
        return "it is not a regular file";
    }
}

} // namespace audio
