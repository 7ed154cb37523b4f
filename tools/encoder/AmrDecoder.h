#pragma once

// The opencore-amrnb speech decoder: one storage-format frame in, 20 ms of 8000 Hz
// audio out.

#include "AmrStorage.h"
#include "AudioResult.h"

#include <array>
#include <cstdint>
#include <span>

class AmrDecoder {
public:
    using Samples = std::array<std::int16_t, audio::AmrStorage::samplesPerFrame>;

    static audio::Result<AmrDecoder> create();

    AmrDecoder(AmrDecoder &&other) noexcept;
    AmrDecoder &operator=(AmrDecoder &&) = delete;
    AmrDecoder(const AmrDecoder &) = delete;
    AmrDecoder &operator=(const AmrDecoder &) = delete;
    ~AmrDecoder();

    // Decodes one frame that AmrReader has checked, header byte first.
    const Samples &decode(std::span<const std::uint8_t> frame);

private:
    explicit AmrDecoder(void *state) : m_state(state) {}

    void *m_state;
    Samples m_samples{};
};
