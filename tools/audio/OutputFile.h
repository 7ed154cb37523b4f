#pragma once

// A file that is written under a temporary name beside its target and takes the target's
// name only when everything has been written: a failed run never leaves a partial file
// under the target's name, and an existing target stays as it was until the rename. The
// temporary name is registered with TemporaryFiles, so that a tool stopped by a signal
// removes it too. It is shortened where the target's name is too long to take the
// temporary name's additions within the folder's limit.

#include "AudioResult.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
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
    // Writes bytes at `offset`: over bytes already written (for headers completed at the
    // end), or beyond the end (for parts of the file made side by side). Several threads
    // may call it at once; write() continues where it did.
    Status writeAt(std::uint64_t offset, std::span<const std::byte> bytes);
    // Flushes the file to disk and renames it to the target's name.
    Status commit();

private:
    OutputFile(std::string targetPath, std::string temporaryPath, std::FILE *file, int slot);
    Error failure(const std::string &action) const;

    std::string m_targetPath;
    std::string m_temporaryPath;
    std::FILE *m_file;
    int m_slot; // in TemporaryFiles, while the temporary file exists
    std::unique_ptr<std::mutex> m_positioning = std::make_unique<std::mutex>(); // for writeAt
};

} // namespace audio
