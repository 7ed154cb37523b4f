#pragma once

// The temporary names of one target's writers: ".NAME.PID.XXXXXX" in the target's folder,
// NAME being the target's name, PID the id of the process that writes it and XXXXXX the
// letters mkstemp fills in. NAME is shortened, at a character boundary, as far as the
// folder's limit on a name and the system's limit on a path require, the same way for
// every process; so a later run knows the names that a run killed before its end (or cut
// off by a power failure) left behind, and which process made them.

#include "AudioResult.h"

#include <cstddef>
#include <optional>
#include <string>

namespace audio {

class TemporaryName {
public:
    explicit TemporaryName(const std::string &targetPath);

    // The path, with the XXXXXX still to fill in, for this process's temporary file; an
    // error when even a name without NAME is too long for the system.
    Result<std::string> pathTemplate() const;

    // Removes the target's temporary files whose writers have ended without removing them.
    void removeOrphans() const;

private:
    // The id of the process that wrote the file `name` when it is one of the target's
    // temporary files.
    std::optional<unsigned long> writerOf(const std::string &name) const;

    std::string m_folder; // with its separator, or empty for the working folder
    std::string m_prefix; // ".NAME."
    std::size_t m_pathLimit;
};

} // namespace audio
