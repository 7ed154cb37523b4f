#pragma once

// A file that is written under a temporary name beside its target and takes the target's
// name only when everything has been written: a failed run never leaves a partial file
// under the target's name, and an existing target stays as it was until the rename.

#include "AudioResult.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace audio {

class OutputFile {
public:
    // Creates the temporary file in the target's folder.
    static Result<OutputFile> create(const std::string &targetPath);

    OutputFile(OutputFile &&other) noexcept;
    OutputFile &operator=(OutputFile &&) = delete;
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;
    // Removes the temporary file unless it was committed.
    ~OutputFile();

    const std::string &targetPath() const { return m_targetPath; }

    Status write(std::span<const std::byte> bytes);
    // Overwrites bytes already written, for headers that are completed at the end.
    Status writeAt(std::uint64_t offset, std::span<const std::byte> bytes);
    // Flushes the file to disk and renames it to the target's name.
    Status commit();

private:
    OutputFile(std::string targetPath, std::string temporaryPath, std::FILE *file);
    Error failure(const std::string &action) const;

    std::string m_targetPath;
    std::string m_temporaryPath;
    std::FILE *m_file;
};

} // namespace audio
