// The links followed, then the kind of file and the user's right to write it.

#include "OutputTarget.h"

#include "FileKind.h"
#include "FileSystemPath.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace audio {

Result<OutputTarget> OutputTarget::of(const std::string &path)
{
    std::string writtenAt = platform::followLinks(path);
    if (const auto reason = notAFile(writtenAt))
        return Error{path + ": " + *reason};
    std::error_code error;
    // A path that cannot be looked at is taken for a new file, whose creation says why.
    if (!std::filesystem::is_regular_file(fileSystemPath(writtenAt), error))
        return OutputTarget(std::move(writtenAt), false, std::nullopt);
    if (const int refusal = platform::writeRefusal(writtenAt)) {
        if (refusal == EACCES || refusal == EPERM)
            return Error{path + ": you may not write to it, so it is left as it was"};
        return Error{path + ": cannot replace it: " + std::strerror(refusal)};
    }
    auto replaced = platform::ownershipOf(writtenAt);
    return OutputTarget(std::move(writtenAt), true, replaced);
}

} // namespace audio
