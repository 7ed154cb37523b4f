// One resampler per stretch of one rate, overlapped and added at the joins.

#include "ContinuousResampler.h"

#include <algorithm>
#include <cmath>
#include <functional>

using audio::Resampler;
using audio::Status;

namespace {

// Output samples of silence run through each side of a join: more than the reach of the
// resampling filter's ringing (about 100 samples at 8000 Hz).
constexpr int joinSilence = 160;
// Output kept back until the next input comes: a join reaches this far back.
constexpr std::size_t keptBack = 4 * joinSilence;

} // namespace

audio::Result<std::span<const std::int16_t>> ContinuousResampler::process(std::span<const float> input, int sampleRate)
{
    if (!m_resampler || sampleRate != m_sampleRate) {
        if (auto error = startStretch(sampleRate))
            return *error;
    }
    if (auto error = feed(input))
        return *error;
    handOut(keptBack);
    return std::span<const std::int16_t>(m_pcm);
}

audio::Result<std::span<const std::int16_t>> ContinuousResampler::finish()
{
    if (m_resampler) {
        if (auto error = runOut())
            return *error;
    }
    handOut(0);
    m_limiter.finish(m_pcm);
    return std::span<const std::int16_t>(m_pcm);
}

Status ContinuousResampler::startStretch(int sampleRate)
{
    auto resampler = Resampler::create(sampleRate);
    if (!resampler.ok())
        return resampler.error();
    const double outputPerInput = static_cast<double>(Resampler::outputRate) / sampleRate;

    std::uint64_t leadIn = 0;
    std::int64_t origin = 0;
    if (m_resampler) {
        // Where the new rate's first sample goes, in output samples from the start. Each
        // sample stands for the span of one sample period around it, so the new stretch's
        // first span starts where the old stretch's last one ends: half an old period after
        // the old stretch's last sample, and half a new period before its own first one.
        const double oldOutputPerInput = static_cast<double>(Resampler::outputRate) / m_sampleRate;
        const double join = static_cast<double>(m_origin)
                            + (static_cast<double>(m_stretchInput) - 0.5) * oldOutputPerInput + 0.5 * outputPerInput;
        // A lead-out of silence brings out the filter's ringing after the old audio's end.
        if (auto error = feed(std::vector<float>(static_cast<std::size_t>(std::ceil(joinSilence / oldOutputPerInput)))))
            return error;
        if (auto error = runOut())
            return error;
        // The lead-in of silence that puts the new stretch's output grid closest to the
        // old one's: the new resampler's first output sample lands on a whole sample.
        const auto shortest = static_cast<std::uint64_t>(std::ceil(joinSilence / outputPerInput));
        double bestMiss = 1;
        for (std::uint64_t count = shortest; count <= 2 * shortest && bestMiss > 1e-6; ++count) {
            const double start = join - static_cast<double>(count) * outputPerInput;
            const double miss = std::abs(start - std::round(start));
            if (miss < bestMiss) {
                bestMiss = miss;
                leadIn = count;
                origin = std::llround(start);
            }
        }
    }
    m_resampler.reset();
    m_resampler.emplace(std::move(resampler.value()));
    m_sampleRate = sampleRate;
    m_origin = origin;
    m_stretchOutput = 0;
    m_stretchInput = 0;
    return feed(std::vector<float>(leadIn, 0.0f));
}

Status ContinuousResampler::feed(std::span<const float> input)
{
    const auto output = m_resampler->process(input);
    if (!output.ok())
        return output.error();
    m_stretchInput += input.size();
    add(output.value());
    return std::nullopt;
}

Status ContinuousResampler::runOut()
{
    const auto output = m_resampler->flush();
    if (!output.ok())
        return output.error();
    add(output.value());
    return std::nullopt;
}

void ContinuousResampler::add(std::span<const float> output)
{
    const std::int64_t first = m_origin + m_stretchOutput - m_pendingStart;
    m_stretchOutput += static_cast<std::int64_t>(output.size());
    // Output before what is still pending is the far end of a lead-in: silence.
    const auto skipped = static_cast<std::size_t>(std::clamp<std::int64_t>(-first, 0, static_cast<std::int64_t>(output.size())));
    if (skipped == output.size())
        return;
    const auto at = static_cast<std::size_t>(first + static_cast<std::int64_t>(skipped));
    const std::size_t end = at + output.size() - skipped;
    if (m_pending.size() < end)
        m_pending.resize(end, 0.0f);
    std::transform(output.begin() + static_cast<std::ptrdiff_t>(skipped), output.end(), m_pending.begin() + static_cast<std::ptrdiff_t>(at),
                   m_pending.begin() + static_cast<std::ptrdiff_t>(at), std::plus<float>());
}

void ContinuousResampler::handOut(std::size_t keep)
{
    const std::size_t count = m_pending.size() > keep ? m_pending.size() - keep : 0;
    m_pcm.clear();
    m_limiter.limit(std::span(m_pending).first(count), m_pcm);
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(count));
    m_pendingStart += static_cast<std::int64_t>(count);
}
