// Equal runs, cut on whole periods of the rate ratio, each with a margin on both sides.

#include "SampleRuns.h"

#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

std::uint64_t inputPeriod(int sampleRate)
{
    return static_cast<std::uint64_t>(sampleRate / std::gcd(sampleRate, audio::Resampler::outputRate));
}

std::uint64_t outputSampleAt(std::uint64_t sample, int sampleRate)
{
    const auto outputPeriod = static_cast<std::uint64_t>(audio::Resampler::outputRate / std::gcd(sampleRate, audio::Resampler::outputRate));
    return sample / inputPeriod(sampleRate) * outputPeriod;
}

std::vector<SampleRun> cutIntoSampleRuns(std::uint64_t sampleCount, int sampleRate, unsigned threads)
{
    const auto minimumRun = static_cast<std::uint64_t>(minimumRunSeconds * sampleRate);
    const std::uint64_t count = std::clamp<std::uint64_t>(sampleCount / minimumRun, 1, threads);
    const std::uint64_t period = inputPeriod(sampleRate);
    const std::uint64_t margin = static_cast<std::uint64_t>(std::ceil(warmUpSeconds * sampleRate / double(period))) * period;
    const auto cut = [&](std::uint64_t run) {
        return run == count ? sampleCount : sampleCount * run / count / period * period;
    };
    std::vector<SampleRun> runs;
    for (std::uint64_t run = 0; run < count; ++run) {
        const std::uint64_t from = cut(run), to = cut(run + 1);
        runs.push_back({from - std::min(from, margin), from, to, std::min(to + margin, sampleCount)});
    }
    return runs;
}
