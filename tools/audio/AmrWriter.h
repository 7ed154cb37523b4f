#pragma once

// Writes an AMR-NB file in the storage format: the magic, then frames whose sizes are
// checked against their headers, so a frame the encoder got wrong never reaches the file.

#include "AudioResult.h"
#include "OutputFile.h"

#include <cstdint>
#include <span>

namespace audio {

class AmrWriter {
public:
    // Writes the magic to `file`.
    static Result<AmrWriter> start(OutputFile &file);

    // Appends one frame, header byte first.
    Status write(std::span<const std::uint8_t> frame);
    // Writes `frames`, back to back and each `frameBytes` long (as all frames of one mode
    // are), as the file's frames from number `first` on: in any order and from several
    // threads at once, for runs encoded side by side.
    Status writeAt(std::uint64_t first, std::span<const std::uint8_t> frames, std::size_t frameBytes) const;

private:
    explicit AmrWriter(OutputFile &file) : m_file(&file) {}
    static Status check(std::span<const std::uint8_t> frame);

    OutputFile *m_file;
};

} // namespace audio
