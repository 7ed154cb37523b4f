#pragma once

// Reads the audio of a WAV file: RIFF/WAVE with a "fmt " chunk for integer PCM of 8, 16,
// 24 or 32 bits or IEEE float of 32 or 64 bits (plain or WAVE_FORMAT_EXTENSIBLE), any
// rate, any number of channels. Every size in the file is checked against the file's
// length before it is trusted; a RIFF or data size of 0 or 0xFFFFFFFF, which programs
// writing to a pipe leave behind, means "up to the end of the file". Chunks the reader
// does not know are skipped with their pad byte, and anything else is refused with a
// message that says what the file holds.

#include "AudioResult.h"

#include <cstdint>
#include <istream>
#include <span>
#include <vector>

namespace audio {

struct WavFormat {
    bool isFloat;
    int bitsPerSample; // of each sample's container
    int channels;
    std::uint32_t sampleRate;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    // The format the AMR encoder takes as it is: 8000 Hz, mono, 16-bit integer PCM.
    bool isEncoderNative() const { return !isFloat && bitsPerSample == 16 && channels == 1 && sampleRate == 8000; }
};

class WavReader {
public:
    // Reads the header up to the first sample. `in` must be seekable and outlive the reader.
    static Result<WavReader> open(std::istream &in);

    const WavFormat &format() const { return m_format; }
    // The number of sample frames (one sample of every channel).
    std::uint64_t frameCount() const { return m_frameCount; }

    // Fills `samples` from the start with 16-bit mono samples as they are in the file;
    // returns how many it read, 0 at the end of the audio. For 16-bit mono PCM only.
    Result<std::size_t> read(std::span<std::int16_t> samples);

    // Fills `samples` from the start with the next frames, their channels mixed with equal
    // weight, at full scale +-1; returns how many it read, 0 at the end of the audio.
    Result<std::size_t> readMono(std::span<float> samples);

    // Moves to frame `index` (at most frameCount()), where the next read starts.
    Status seek(std::uint64_t index);

private:
    WavReader(std::istream &in, const WavFormat &format, std::uint64_t dataStart, std::uint64_t frameCount)
        : m_in(&in), m_format(format), m_dataStart(dataStart), m_frameCount(frameCount), m_framesLeft(frameCount)
    {
    }

    // Reads `count` frames' bytes into m_raw.
    Status readFrames(std::size_t count);

    std::istream *m_in;
    WavFormat m_format;
    std::uint64_t m_dataStart;
    std::uint64_t m_frameCount;
    std::uint64_t m_framesLeft;
    std::vector<std::uint8_t> m_raw;
};

} // namespace audio
