#pragma once

// Resamples mono float audio to 8000 Hz with libsoxr at very high quality and turns it
// into 16-bit samples. Overshoot beyond full scale is clipped, never wrapped.

#include "AudioResult.h"

#include <cstdint>
#include <span>
#include <vector>

struct soxr;

class Resampler {
public:
    static audio::Result<Resampler> create(double inputRate);

    Resampler(Resampler &&other) noexcept;
    Resampler &operator=(Resampler &&) = delete;
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;
    ~Resampler();

    // Resamples `input`; the result stays valid until the next call.
    audio::Result<std::span<const std::int16_t>> process(std::span<const float> input);
    // Once the input has ended, returns what the filter still holds, a block per call;
    // an empty block when nothing is left.
    audio::Result<std::span<const std::int16_t>> flush();

private:
    Resampler(soxr *resampler, double ratio) : m_soxr(resampler), m_ratio(ratio) {}

    audio::Result<std::span<const std::int16_t>> run(const float *input, std::size_t length);

    soxr *m_soxr;
    double m_ratio;
    std::vector<float> m_resampled;
    std::vector<std::int16_t> m_pcm;
};
