// A sliding minimum of the gains needed, and a triangular window over it as two running
// sums of whole numbers.

#include "PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

// A gain of 1 in the sums' whole numbers: a float gain times it is exact.
constexpr std::int64_t unity = std::int64_t{1} << 24;
constexpr std::int64_t box = PeakLimiter::lookAhead + 1;
// The triangular sum where no gain is lowered.
constexpr std::int64_t untouched = unity * box * box;

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

} // namespace

PeakLimiter::PeakLimiter()
{
    // Before the first sample, no gain is lowered.
    m_lowest.fill(unity);
    m_boxed.fill(unity * box);
    m_boxSum = unity * box;
    m_triangleSum = untouched;
}

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
    m_samples[taken % ring] = sample;

    // The lowest gain needed from release + lookAhead samples before this one to this one.
    const float needed = neededGain(sample);
    while (m_neededEnd > m_neededFirst && m_needed[(m_neededEnd - 1) % neededRing].second >= needed)
        --m_neededEnd;
    m_needed[m_neededEnd++ % neededRing] = {taken, needed};
    while (m_needed[m_neededFirst % neededRing].first + release + lookAhead < taken)
        ++m_neededFirst;
    const auto lowest = static_cast<std::int64_t>(m_needed[m_neededFirst % neededRing].second * unity);

    // The sums of the lowest gains over the box up to this sample, and of those sums over
    // the box up to it: the triangular window over the 2 * lookAhead + 1 samples up to it.
    const std::uint64_t leaving = taken - box; // wraps around before the first box, to the initial values
    m_boxSum += lowest - m_lowest[leaving % ring];
    m_lowest[taken % ring] = lowest;
    m_triangleSum += m_boxSum - m_boxed[leaving % ring];
    m_boxed[taken % ring] = m_boxSum;

    if (taken < 2 * lookAhead)
        return;
    const float value = m_samples[(taken - 2 * lookAhead) % ring];
    if (m_triangleSum == untouched)
        output.push_back(toPcm16(value));
    else
        output.push_back(toPcm16(value * static_cast<float>(static_cast<double>(m_triangleSum) / untouched)));
}

} // namespace audio
