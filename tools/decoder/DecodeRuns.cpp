// One thread per run; a run that gives up stops the others. Errors come before giving up,
// and earlier runs before later ones.

#include "DecodeRuns.h"

#include "DecodeRun.h"
#include "RunOnThreads.h"

#include <atomic>

audio::Result<std::optional<std::uint64_t>> decodeRuns(const std::string &path, const Mp3Survey &survey,
                                                       const std::vector<SampleRun> &runs, const audio::WavWriter &wav)
{
    std::vector<audio::Result<std::optional<std::uint64_t>>> results(runs.size(), std::optional<std::uint64_t>());
    std::atomic<bool> stop = false;
    const auto decode = [&](std::size_t index) {
        results[index] = decodeRun(path, survey, runs[index], wav, stop);
        if (!results[index].ok() || !results[index].value())
            stop = true;
    };
    if (auto error = audio::runOnThreads(runs.size(), decode, "a decoder thread"))
        return *error;
    for (const auto &result : results) {
        if (!result.ok())
            return result;
    }
    for (const auto &result : results) {
        if (!result.value())
            return result;
    }
    return results.back();
}
