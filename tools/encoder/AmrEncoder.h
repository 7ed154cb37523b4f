#pragma once

// The opencore-amrnb speech encoder, with discontinuous transmission off: every 20 ms of
// 8000 Hz audio becomes one speech frame of the chosen mode.

#include "AmrStorage.h"
#include "AudioResult.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

class AmrEncoder {
public:
    using Samples = std::span<const std::int16_t, audio::AmrStorage::samplesPerFrame>;

    static audio::Result<AmrEncoder> create();

    // Encodes one frame's samples in `mode` (frame type 0 to 7); the frame, header byte
    // first, stays valid until the next call.
    audio::Result<std::span<const std::uint8_t>> encode(Samples samples, int mode);

private:
    // Frees opencore-amrnb's encoder state.
    struct Exit {
        void operator()(void *state) const;
    };

    explicit AmrEncoder(void *state) : m_state(state) {}

    std::unique_ptr<void, Exit> m_state;
    std::array<std::uint8_t, audio::AmrStorage::maxFrameBytes> m_frame{};
};
