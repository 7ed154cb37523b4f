#pragma once

// Reads the audio of a WAV file that the AMR encoder accepts: RIFF/WAVE with a "fmt "
// chunk for PCM (plain or WAVE_FORMAT_EXTENSIBLE) at 8000 Hz, mono, 16 bits. Every size
// in the file is checked against the file's length before it is trusted, chunks the
// reader does not know are skipped with their pad byte, and anything else is refused
// with a message that says what the file holds.

#include "AudioResult.h"

#include <cstdint>
#include <istream>
#include <span>

namespace audio {

class WavReader {
public:
    // Reads the header up to the first sample. `in` must be seekable and outlive the reader.
    static Result<WavReader> open(std::istream &in);

    std::uint32_t sampleCount() const { return m_sampleCount; }

    // Fills `samples` from the start; returns how many it read, 0 at the end of the audio.
    Result<std::size_t> read(std::span<std::int16_t> samples);

    // Moves to sample `index` (at most sampleCount()), where the next read() starts.
    Status seek(std::uint32_t index);

private:
    WavReader(std::istream &in, std::uint64_t dataStart, std::uint32_t sampleCount)
        : m_in(&in), m_dataStart(dataStart), m_sampleCount(sampleCount), m_samplesLeft(sampleCount)
    {
    }

    std::istream *m_in;
    std::uint64_t m_dataStart;
    std::uint32_t m_sampleCount;
    std::uint32_t m_samplesLeft;
};

} // namespace audio
