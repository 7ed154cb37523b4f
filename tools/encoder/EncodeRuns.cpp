// One thread per run; the first error in run order wins.

#include "EncodeRuns.h"

#include "EncodeRun.h"

#include <system_error>
#include <thread>

audio::Result<std::vector<std::vector<std::uint8_t>>>
encodeRuns(const std::string &wavPath, const std::vector<FrameRun> &runs, int mode)
{
    std::vector<std::vector<std::uint8_t>> frames(runs.size());
    std::vector<audio::Status> errors(runs.size());
    const auto encode = [&](std::size_t index) {
        errors[index] = encodeRun(wavPath, runs[index], mode, [&frames, index](std::span<const std::uint8_t> frame) {
            frames[index].insert(frames[index].end(), frame.begin(), frame.end());
            return audio::Status{};
        });
    };
    try {
        // The threads are joined when `workers` goes, also when starting one fails.
        std::vector<std::jthread> workers;
        for (std::size_t index = 1; index < runs.size(); ++index)
            workers.emplace_back(encode, index);
        encode(0);
    } catch (const std::system_error &error) {
        return audio::Error{std::string("cannot start an encoder thread: ") + error.what()};
    }
    for (const audio::Status &error : errors) {
        if (error)
            return *error;
    }
    return frames;
}
