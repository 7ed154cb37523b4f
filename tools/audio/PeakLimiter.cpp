// A sliding minimum of the gains needed, and a Hann window over it.

#include "PeakLimiter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audio {

namespace {

// Rounded to 16 bits, and clamped, never wrapped around. A sample that is not a number
// (garbage decoded from a damaged stream) becomes silence.
std::int16_t toPcm16(float sample)
{
    const float scaled = std::nearbyint(sample * 32768.0f);
    if (std::isnan(scaled))
        return 0;
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

// The gain that brings `sample` down to the ceiling: 1 where it is below it, and where it
// is not a number (which toPcm16 silences).
float neededGain(float sample)
{
    const float size = std::abs(sample);
    return size > PeakLimiter::ceiling ? PeakLimiter::ceiling / size : 1.0f;
}

// The Hann window over the 2 * lookAhead + 1 lowest gains around a sample, summing to 1.
const std::array<float, 2 * PeakLimiter::lookAhead + 1> &smoothing()
{
    static const auto window = [] {
        std::array<float, 2 * PeakLimiter::lookAhead + 1> weights{};
        double sum = 0;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            const double phase = 2 * std::numbers::pi * static_cast<double>(i + 1) / static_cast<double>(weights.size() + 1);
            weights[i] = static_cast<float>(0.5 * (1 - std::cos(phase)));
            sum += weights[i];
        }
        for (float &weight : weights)
            weight = static_cast<float>(weight / sum);
        return weights;
    }();
    return window;
}

} // namespace

void PeakLimiter::limit(std::span<const float> input, std::vector<std::int16_t> &output)
{
    for (const float sample : input)
        take(sample, output);
}

void PeakLimiter::finish(std::vector<std::int16_t> &output)
{
    // Silence after the end needs no gain: the last samples are handed out as they are.
    for (std::size_t i = 0; i < 2 * lookAhead; ++i)
        take(0.0f, output);
}

void PeakLimiter::take(float sample, std::vector<std::int16_t> &output)
{
    const std::uint64_t taken = m_taken++;
    m_samples[taken % span] = sample;

    // The lowest gain needed from release + lookAhead samples before this one to this one:
    // the gain around the sample lookAhead before it.
    const float needed = neededGain(sample);
    while (!m_needed.empty() && m_needed.back().second >= needed)
        m_needed.pop_back();
    m_needed.emplace_back(taken, needed);
    while (m_needed.front().first + release + lookAhead < taken)
        m_needed.pop_front();
    const float lowest = m_needed.front().second;
    m_lowest[taken % span] = lowest;
    if (lowest < 1.0f)
        m_lastLowered = taken + 1;

    if (taken < 2 * lookAhead)
        return;
    const std::uint64_t out = taken - 2 * lookAhead;
    const float value = m_samples[out % span];
    // Where no gain around it is lowered, the sample passes as it is.
    if (m_lastLowered <= out) {
        output.push_back(toPcm16(value));
        return;
    }
    float gain = 0;
    for (std::size_t i = 0; i < span; ++i)
        gain += smoothing()[i] * m_lowest[(out + i) % span];
    output.push_back(toPcm16(value * std::min(gain, 1.0f)));
}

} // namespace audio
