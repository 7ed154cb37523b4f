#pragma once

// A file that is written under a temporary name beside its target and takes the target's
// name only when everything has been written: a failed run never leaves a partial file
// under the target's name, and an existing target stays as it was until the rename. The
// temporary name (TemporaryName's, which carries the process id) is registered with
// TemporaryFiles, so that a tool stopped by a signal removes it too; what a run killed
// outright leaves behind, the next run for the same target removes before it writes.
//
// What may be replaced is OutputTarget's: a regular file the user may write, or nothing;
// through a symbolic link, the file it leads to, in whose folder the temporary file is
// then written. The output keeps the replaced file's permissions and owner.

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
    // Creates the temporary file in the target's folder. Errors name `targetPath`.
    static Result<OutputFile> create(const std::string &targetPath);

    const std::string &targetPath() const { return m_targetPath; }

    Status write(std::span<const std::byte> bytes);
    // Writes bytes at `offset`: over bytes already written (for headers completed at the
    // end), or beyond the end (for parts of the file made side by side). Several threads
    // may call it at once; write() continues where it did.
    Status writeAt(std::uint64_t offset, std::span<const std::byte> bytes);
    // Flushes the file to disk and renames it to the target's name.
    Status commit();

private:
    // The temporary file while it exists under its own name, registered with
    // TemporaryFiles; removed, and its registration released, when it goes.
    struct Temporary {
        std::string path;
        int slot;
    };
    struct RemoveTemporary {
        void operator()(Temporary *temporary) const;
    };
    struct CloseFile {
        void operator()(std::FILE *file) const;
    };

    OutputFile(std::string targetPath, std::string writtenAt, std::unique_ptr<Temporary, RemoveTemporary> temporary,
               std::FILE *file);
    Error failure(const std::string &action) const;

    std::string m_targetPath;
    std::string m_writtenAt; // the target's path, or the file its links lead to
    // Declared before the file, so that the file is closed before it is removed.
    std::unique_ptr<Temporary, RemoveTemporary> m_temporary;
    std::unique_ptr<std::FILE, CloseFile> m_file;
    std::unique_ptr<std::mutex> m_positioning = std::make_unique<std::mutex>(); // for writeAt
};

} // namespace audio
