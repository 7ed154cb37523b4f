#pragma once

// Reads the frames of an AMR-NB file in the storage format. The magic and every frame
// header are checked: padding bits must be zero, the frame type must be one AMR-NB
// defines, and the file must not end inside a frame.

#include "AmrStorage.h"
#include "AudioResult.h"

#include <array>
#include <cstdint>
#include <istream>

namespace audio {

class AmrReader {
public:
    using Frame = std::array<std::uint8_t, AmrStorage::maxFrameBytes>;

    // Checks the magic. `in` must outlive the reader.
    static Result<AmrReader> open(std::istream &in);

    // Reads the next frame, header byte first, into `frame`; returns its size in bytes,
    // 0 at the end of the file.
    Result<std::size_t> read(Frame &frame);

private:
    explicit AmrReader(std::istream &in) : m_in(&in) {}

    std::istream *m_in;
    std::uint64_t m_frameNumber = 0;
};

} // namespace audio
