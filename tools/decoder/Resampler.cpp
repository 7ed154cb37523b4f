// Streaming resampling to 8000 Hz with libsoxr, and the conversion to 16-bit samples.

#include "Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

using audio::Error;

namespace {

constexpr double outputRate = 8000;
// Room for the output of the filter's tail when the input ends.
constexpr std::size_t flushBlock = 4096;

std::int16_t toPcm16(float sample)
{
    const float scaled = std::nearbyint(sample * 32768.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

} // namespace

Resampler::Resampler(Resampler &&other) noexcept
    : m_soxr(std::exchange(other.m_soxr, nullptr)),
      m_ratio(other.m_ratio),
      m_resampled(std::move(other.m_resampled)),
      m_pcm(std::move(other.m_pcm))
{
}

Resampler::~Resampler()
{
    if (m_soxr)
        soxr_delete(m_soxr);
}

audio::Result<Resampler> Resampler::create(double inputRate)
{
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    soxr_t resampler = soxr_create(inputRate, outputRate, 1, &error, &io, &quality, nullptr);
    if (error || !resampler) {
        if (resampler)
            soxr_delete(resampler);
        return Error{"cannot resample from " + std::to_string(inputRate) + " Hz: "
                     + soxr_strerror(error)};
    }
    return Resampler(resampler, outputRate / inputRate);
}

audio::Result<std::span<const std::int16_t>> Resampler::process(std::span<const float> input)
{
    return run(input.data(), input.size());
}

audio::Result<std::span<const std::int16_t>> Resampler::flush()
{
    return run(nullptr, 0);
}

audio::Result<std::span<const std::int16_t>> Resampler::run(const float *input, std::size_t length)
{
    // Enough room for all output this input can give, so one call consumes it all.
    m_resampled.resize(static_cast<std::size_t>(std::ceil(length * m_ratio)) + flushBlock);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    const soxr_error_t error = soxr_process(m_soxr, input, length, &consumed,
                                            m_resampled.data(), m_resampled.size(), &produced);
    if (error)
        return Error{std::string("resampling failed: ") + soxr_strerror(error)};
    if (consumed != length)
        return Error{"resampling failed: the resampler left input unused"};
    m_pcm.resize(produced);
    std::transform(m_resampled.begin(), m_resampled.begin() + static_cast<std::ptrdiff_t>(produced),
                   m_pcm.begin(), toPcm16);
    return std::span<const std::int16_t>(m_pcm);
}
