#pragma once

// The opencore-amrnb speech decoder: one storage-format frame in, 20 ms of 8000 Hz
// audio out.

#include "AmrStorage.h"
#include "AudioResult.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

class AmrDecoder {
public:
    using Samples = std::array<std::int16_t, audio::AmrStorage::samplesPerFrame>;

    static audio::Result<AmrDecoder> create();

    // Decodes one frame that AmrReader has checked, header byte first.
    const Samples &decode(std::span<const std::uint8_t> frame);

private:
    // Frees opencore-amrnb's decoder state.
    struct Exit {
        void operator()(void *state) const;
    };

    explicit AmrDecoder(void *state) : m_state(state) {}

    std::unique_ptr<void, Exit> m_state;
    Samples m_samples{};
};
