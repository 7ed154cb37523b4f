// Reads the WAV file frame by frame and writes each encoded frame.

#include "WavToAmr.h"

#include "AmrEncoder.h"
#include "AmrWriter.h"
#include "OutputFile.h"
#include "WavReader.h"

#include <algorithm>
#include <fstream>

using audio::Error;

audio::Status wavToAmr(const std::string &wavPath, const std::string &amrPath, int mode)
{
    const auto inputFailure = [&](const std::string &reason) {
        return Error{wavPath + ": " + reason};
    };
    std::ifstream in(wavPath, std::ios::binary);
    if (!in)
        return inputFailure("cannot open it");
    auto wav = audio::WavReader::open(in);
    if (!wav.ok())
        return inputFailure(wav.error().message);
    if (wav.value().sampleCount() == 0)
        return inputFailure("it holds no audio");
    auto encoder = AmrEncoder::create();
    if (!encoder.ok())
        return encoder.error();
    auto file = audio::OutputFile::create(amrPath);
    if (!file.ok())
        return file.error();
    auto amr = audio::AmrWriter::start(file.value());
    if (!amr.ok())
        return amr.error();

    std::array<std::int16_t, audio::AmrStorage::samplesPerFrame> samples{};
    for (;;) {
        const auto count = wav.value().read(samples);
        if (!count.ok())
            return inputFailure(count.error().message);
        if (count.value() == 0)
            break;
        std::fill(samples.begin() + static_cast<std::ptrdiff_t>(count.value()), samples.end(), 0);
        const auto frame = encoder.value().encode(samples, mode);
        if (!frame.ok())
            return frame.error();
        if (auto error = amr.value().write(frame.value()))
            return error;
    }
    return file.value().commit();
}
