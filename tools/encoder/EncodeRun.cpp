// Seeks to the run's first frame, encodes through its warm-up and passes on the rest.

#include "EncodeRun.h"

#include "AmrEncoder.h"
#include "AmrStorage.h"
#include "InputFile.h"
#include "WavReader.h"

#include <algorithm>
#include <array>

audio::Status encodeRun(const std::string &wavPath, const FrameRun &run, int mode, const FrameSink &sink)
{
    auto input = InputFile<audio::WavReader>::open(wavPath);
    if (!input.ok())
        return input.error();
    audio::WavReader &wav = input.value().reader();
    constexpr auto samplesPerFrame = audio::AmrStorage::samplesPerFrame;
    if (auto error = wav.seek(run.warmUpFrom * samplesPerFrame))
        return input.value().failure(*error);
    auto encoder = AmrEncoder::create();
    if (!encoder.ok())
        return encoder.error();

    std::array<std::int16_t, samplesPerFrame> samples{};
    for (std::uint32_t frame = run.warmUpFrom; frame < run.to; ++frame) {
        const auto count = wav.read(samples);
        if (!count.ok())
            return input.value().failure(count.error());
        std::fill(samples.begin() + static_cast<std::ptrdiff_t>(count.value()), samples.end(), 0);
        const auto encoded = encoder.value().encode(samples, mode);
        if (!encoded.ok())
            return encoded.error();
        if (frame >= run.from) {
            if (auto error = sink(encoded.value()))
                return error;
        }
    }
    return std::nullopt;
}
