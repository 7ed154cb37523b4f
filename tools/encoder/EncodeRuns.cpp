// One thread per run, each writing its frames at their place; the first error in run order
// wins.

#include "EncodeRuns.h"

#include "AmrStorage.h"
#include "EncodeRun.h"
#include "RunOnThreads.h"

#include <cstdint>

namespace {

// Frames a run gathers before it writes them: 10 s of audio, at most 8 KB.
constexpr std::size_t blockFrames = 500;

// Encodes `run`, writing its kept frames to their place in `amr`.
audio::Status encodeInPlace(const std::string &wavPath, const FrameRun &run, int mode, const audio::AmrWriter &amr)
{
    const std::size_t frameBytes = *audio::AmrStorage::frameBytes(mode);
    std::vector<std::uint8_t> block;
    block.reserve(blockFrames * frameBytes);
    std::uint64_t blockStart = run.from;
    const auto writeBlock = [&]() -> audio::Status {
        if (auto error = amr.writeAt(blockStart, block, frameBytes))
            return error;
        blockStart += block.size() / frameBytes;
        block.clear();
        return std::nullopt;
    };
    auto error = encodeRun(wavPath, run, mode, [&](std::span<const std::uint8_t> frame) -> audio::Status {
        block.insert(block.end(), frame.begin(), frame.end());
        return block.size() < blockFrames * frameBytes ? std::nullopt : writeBlock();
    });
    return error ? error : writeBlock();
}

} // namespace

audio::Status encodeRuns(const std::string &wavPath, const std::vector<FrameRun> &runs, int mode,
                         const audio::AmrWriter &amr)
{
    std::vector<audio::Status> errors(runs.size());
    const auto encode = [&](std::size_t index) { errors[index] = encodeInPlace(wavPath, runs[index], mode, amr); };
    if (auto error = audio::runOnThreads(runs.size(), encode, "an encoder thread"))
        return error;
    for (const audio::Status &error : errors) {
        if (error)
            return error;
    }
    return std::nullopt;
}
