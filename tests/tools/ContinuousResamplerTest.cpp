// The decoder's resampling where the input's rate changes.

#include "ContinuousResampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The ideal tone: 1 kHz at half of full scale, at its peak at each join below.
double tone(double seconds) { return 0.5 * std::cos(2 * std::numbers::pi * 1000 * seconds); }

// The tone, running on without a break through stretches of different sample rates, fed
// in blocks of the size MP3 frames have. Each sample stands for one sample period around
// it, so a stretch's first sample comes half of its period after the previous stretch's
// last period ends.
std::vector<std::int16_t> resampleToneThrough(const std::vector<std::pair<int, double>> &stretches)
{
    ContinuousResampler resampler;
    std::vector<std::int16_t> output;
    double end = 0; // of the previous stretch's last period, less the first's half period
    for (std::size_t stretch = 0; stretch < stretches.size(); ++stretch) {
        const auto [rate, duration] = stretches[stretch];
        const auto samples = static_cast<std::size_t>(std::lround(duration * rate));
        const double first = stretch == 0 ? 0 : end + 0.5 / rate;
        std::vector<float> tone(samples);
        for (std::size_t i = 0; i < samples; ++i)
            tone[i] = static_cast<float>(::tone(first + double(i) / rate));
        end = first + (static_cast<double>(samples) - 0.5) / rate;
        for (std::size_t at = 0; at < samples; at += 1152) {
            const auto block = std::span(tone).subspan(at, std::min<std::size_t>(1152, samples - at));
            const auto pcm = resampler.process(block, rate);
            EXPECT_TRUE(pcm.ok());
            output.insert(output.end(), pcm.value().begin(), pcm.value().end());
        }
    }
    const auto rest = resampler.finish();
    EXPECT_TRUE(rest.ok());
    output.insert(output.end(), rest.value().begin(), rest.value().end());
    return output;
}

// The largest difference, in dB of full scale, between the output around sample `at`
// and the 1 kHz tone that fits it best there. A click is such a difference; a shift of the
// tone's phase by a fraction of an input sample, which a join may bring, is not.
double largestMisfit(const std::vector<std::int16_t> &output, std::size_t at)
{
    // 50 periods of 1 kHz at 8000 Hz, on which the cosine and the sine are orthogonal.
    const std::size_t from = at - 200, to = at + 200;
    const double step = 2 * std::numbers::pi * 1000 / 8000;
    double cosine = 0, sine = 0;
    for (std::size_t i = from; i < to; ++i) {
        cosine += output[i] / 32768.0 * std::cos(step * double(i)) * 2 / 400;
        sine += output[i] / 32768.0 * std::sin(step * double(i)) * 2 / 400;
    }
    double largest = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double fit = cosine * std::cos(step * double(i)) + sine * std::sin(step * double(i));
        largest = std::max(largest, std::abs(output[i] / 32768.0 - fit));
    }
    return 20 * std::log10(largest);
}

} // namespace

TEST(ContinuousResampler, ARateChangeJoinsTheTwoRatesWithoutAClick)
{
    // 0.5 s each at 44.1 kHz, 48 kHz and 22.05 kHz: joins at 0.5 s and 1 s, where the
    // tone is at its peak, so that starting a resampler afresh there would click.
    const auto output = resampleToneThrough({{44100, 0.5}, {48000, 0.5}, {22050, 0.5}});
    ASSERT_NEAR(static_cast<double>(output.size()), 12000, 1);
    // Away from the start and the end (where the filter has no signal on one side), the
    // tone is as clean as the resampler makes it, and at its level and phase; at the
    // joins it may shift its phase by a fraction of an input sample (a difference below
    // -45 dB), where starting a resampler afresh would leave a step of up to the tone's
    // full height (-6 dB).
    for (const std::size_t at : {1000u, 2000u, 6000u, 10000u, 11000u}) {
        EXPECT_LT(largestMisfit(output, at), -70) << "at sample " << at;
        EXPECT_NEAR(output[at] / 32768.0, tone(double(at) / 8000), 0.01) << "at sample " << at;
    }
    for (const std::size_t join : {4000u, 8000u})
        EXPECT_LT(largestMisfit(output, join), -40) << "a click at the join at sample " << join;
}
