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

private:
    explicit AmrWriter(OutputFile &file) : m_file(&file) {}

    OutputFile *m_file;
};

} // namespace audio
