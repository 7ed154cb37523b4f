#pragma once

// Writes 8000 Hz, 16-bit, mono PCM WAV, the only format the tool folder's programs
// exchange. Samples are streamed into the file; the header's sizes are filled in by
// finish(), once the length is known.

#include "AudioResult.h"
#include "OutputFile.h"

#include <cstdint>
#include <span>

namespace audio {

class WavWriter {
public:
    // Writes the header, with sizes still to be filled in, to `file`.
    static Result<WavWriter> start(OutputFile &file);

    Status append(std::span<const std::int16_t> samples);
    // Fills in the header's sizes. The caller then commits the file.
    Status finish();

private:
    explicit WavWriter(OutputFile &file) : m_file(&file) {}

    OutputFile *m_file;
    std::uint64_t m_dataBytes = 0;
};

} // namespace audio
