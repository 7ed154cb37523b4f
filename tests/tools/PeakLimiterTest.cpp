// The float to 16-bit conversion that both tools end with.

#include "PeakLimiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// 1 s at 8000 Hz of a 220 Hz tone at `amplitude`, louder from 0.5 s to 0.52 s: at `burst`.
std::vector<float> toneWithBurst(float amplitude, float burst)
{
    std::vector<float> samples(8000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float level = i >= 4000 && i < 4160 ? burst : amplitude;
        samples[i] = level * static_cast<float>(std::sin(2 * std::numbers::pi * 220 * double(i) / 8000));
    }
    return samples;
}

std::vector<std::int16_t> limited(const std::vector<float> &samples, std::size_t block)
{
    audio::PeakLimiter limiter;
    std::vector<std::int16_t> output;
    for (std::size_t at = 0; at < samples.size(); at += block)
        limiter.limit(std::span(samples).subspan(at, std::min(block, samples.size() - at)), output);
    limiter.finish(output);
    return output;
}

std::int16_t rounded(float sample) { return static_cast<std::int16_t>(std::nearbyint(sample * 32768)); }

} // namespace

TEST(PeakLimiter, LowersOnlyWhatWouldPassFullScaleAndOnlyNearIt)
{
    // A burst to 1.6 times full scale.
    const std::vector<float> samples = toneWithBurst(0.9f, 1.6f);
    const std::vector<std::int16_t> output = limited(samples, 1152);
    ASSERT_EQ(output.size(), samples.size());
    constexpr std::size_t reachBack = audio::PeakLimiter::release + audio::PeakLimiter::lookAhead;
    constexpr std::size_t reachAhead = 2 * audio::PeakLimiter::lookAhead;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ASSERT_LT(std::abs(output[i]), 32767) << i;
        if (i + reachAhead < 4000 || i >= 4160 + reachBack) {
            ASSERT_EQ(output[i], rounded(samples[i])) << i;
        }
    }
    // The burst is as loud as it may be.
    EXPECT_GT(*std::max_element(output.begin() + 4000, output.begin() + 4160), 32700);
    // Sample by sample or all at once, the same.
    EXPECT_EQ(limited(samples, 1), output);
    EXPECT_EQ(limited(samples, samples.size()), output);

    // Below full scale throughout, everything is only rounded.
    const std::vector<float> quiet = toneWithBurst(0.5f, 0.99f);
    const std::vector<std::int16_t> quietOutput = limited(quiet, 333);
    ASSERT_EQ(quietOutput.size(), quiet.size());
    for (std::size_t i = 0; i < quiet.size(); ++i)
        ASSERT_EQ(quietOutput[i], rounded(quiet[i])) << i;
}
