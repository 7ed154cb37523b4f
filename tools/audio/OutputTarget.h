#pragma once

// The file an output is to replace, looked at before anything is written. The tools
// replace only what the user could write with an ordinary open, as cp and sox would: a
// target that is not a regular file (a folder, a named pipe, a device) or that the user
// may not write (a read-only file, also one of root's in the user's folder) is refused. A
// target that is a symbolic link stays one: the output replaces the file it leads to. A
// replaced file keeps its permissions and, where the user may give it away, its owner.

#include "AudioResult.h"
#include "Platform.h"

#include <optional>
#include <string>

namespace audio {

class OutputTarget {
public:
    // Errors name `path` and say why it may not be replaced.
    static Result<OutputTarget> of(const std::string &path);

    // The path the output takes: the target's own, or that of the file its links lead to.
    const std::string &writtenAt() const { return m_writtenAt; }
    // Whether a file is there to be replaced.
    bool exists() const { return m_exists; }
    // What the output keeps of the file it replaces, where the system has such a thing.
    const std::optional<platform::Ownership> &replaced() const { return m_replaced; }

private:
    OutputTarget(std::string writtenAt, bool exists, std::optional<platform::Ownership> replaced)
        : m_writtenAt(std::move(writtenAt)), m_exists(exists), m_replaced(replaced)
    {
    }

    std::string m_writtenAt;
    bool m_exists;
    std::optional<platform::Ownership> m_replaced;
};

} // namespace audio
