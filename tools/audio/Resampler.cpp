// Streaming resampling to 8000 Hz with libsoxr.

#include "Resampler.h"

#include <soxr.h>

#include <cmath>
#include <string>

namespace audio {

namespace {

// Room for the output of the filter's tail when the input ends.
constexpr std::size_t flushBlock = 4096;

} // namespace

void Resampler::Delete::operator()(soxr *resampler) const
{
    soxr_delete(resampler);
}

Result<Resampler> Resampler::create(double inputRate)
{
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    soxr_t resampler = soxr_create(inputRate, outputRate, 1, &error, &io, &quality, nullptr);
    if (error || !resampler) {
        if (resampler)
            soxr_delete(resampler);
        return Error{"cannot resample from " + std::to_string(inputRate) + " Hz: " + soxr_strerror(error)};
    }
    return Resampler(resampler, outputRate / inputRate);
}

Result<std::span<const float>> Resampler::process(std::span<const float> input)
{
    // No input at all would tell libsoxr that the input has ended.
    if (input.empty())
        return std::span<const float>();
    return run(input.data(), input.size());
}

Result<std::span<const float>> Resampler::flush()
{
    // libsoxr gives the tail a block per call, as much as there is room for, until it
    // gives nothing.
    m_tail.clear();
    for (;;) {
        const auto block = run(nullptr, 0);
        if (!block.ok())
            return block.error();
        if (block.value().empty())
            return std::span<const float>(m_tail);
        m_tail.insert(m_tail.end(), block.value().begin(), block.value().end());
    }
}

Result<std::span<const float>> Resampler::run(const float *input, std::size_t length)
{
    // Enough room for all output this input can give, so one call consumes it all. The
    // buffer only grows, so that it is not cleared for every block.
    const std::size_t room = static_cast<std::size_t>(std::ceil(static_cast<double>(length) * m_ratio)) + flushBlock;
    if (m_resampled.size() < room)
        m_resampled.resize(room);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    const soxr_error_t error = soxr_process(m_soxr.get(), input, length, &consumed, m_resampled.data(), room, &produced);
    if (error)
        return Error{std::string("resampling failed: ") + soxr_strerror(error)};
    if (consumed != length)
        return Error{"resampling failed: the resampler left input unused"};
    return std::span<const float>(m_resampled.data(), produced);
}

} // namespace audio
