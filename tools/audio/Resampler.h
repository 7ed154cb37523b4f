#pragma once

// Resamples mono float audio to 8000 Hz with libsoxr at very high quality, streaming: the
// output is aligned with the input's start, so `n` input samples give n * 8000 / rate
// output samples in all once flushed. At 8000 Hz the samples pass unchanged.

#include "AudioResult.h"

#include <memory>
#include <span>
#include <vector>

struct soxr;

namespace audio {

class Resampler {
public:
    static constexpr int outputRate = 8000;

    static Result<Resampler> create(double inputRate);

    // Resamples `input`; the result stays valid until the next call.
    Result<std::span<const float>> process(std::span<const float> input);
    // Once the input has ended, returns all that the filter still holds; the result stays
    // valid until the next call.
    Result<std::span<const float>> flush();

private:
    struct Delete {
        void operator()(soxr *resampler) const;
    };

    Resampler(soxr *resampler, double ratio) : m_soxr(resampler), m_ratio(ratio) {}

    Result<std::span<const float>> run(const float *input, std::size_t length);

    std::unique_ptr<soxr, Delete> m_soxr;
    double m_ratio;
    std::vector<float> m_resampled;
    std::vector<float> m_tail;
};

} // namespace audio
