// Seeks to the run's first frame, encodes through its warm-up and passes on the rest.

#include "EncodeRun.h"

#include "AmrEncoder.h"
#include "AmrStorage.h"
#include "WavReader.h"

#include <algorithm>
#include <array>
#include <fstream>

audio::Status encodeRun(const std::string &wavPath, const FrameRun &run, int mode, const FrameSink &sink)
{
    const auto inputFailure = [&](const std::string &reason) {
        return audio::Error{wavPath + ": " + reason};
    };
    std::ifstream in(wavPath, std::ios::binary);
    if (!in)
        return inputFailure("cannot open it");
    auto wav = audio::WavReader::open(in);
    if (!wav.ok())
        return inputFailure(wav.error().message);
    constexpr auto samplesPerFrame = audio::AmrStorage::samplesPerFrame;
    if (auto error = wav.value().seek(run.warmUpFrom * samplesPerFrame))
        return inputFailure(error->message);
    auto encoder = AmrEncoder::create();
    if (!encoder.ok())
        return encoder.error();

    std::array<std::int16_t, samplesPerFrame> samples{};
    for (std::uint32_t frame = run.warmUpFrom; frame < run.to; ++frame) {
        const auto count = wav.value().read(samples);
        if (!count.ok())
            return inputFailure(count.error().message);
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
