// Reads the AMR file frame by frame and writes each decoded frame.

#include "AmrToWav.h"

#include "AmrDecoder.h"
#include "AmrReader.h"
#include "OutputFile.h"
#include "WavWriter.h"

#include <fstream>

using audio::Error;

audio::Status amrToWav(const std::string &amrPath, const std::string &wavPath)
{
    const auto inputFailure = [&](const std::string &reason) {
        return Error{amrPath + ": " + reason};
    };
    std::ifstream in(amrPath, std::ios::binary);
    if (!in)
        return inputFailure("cannot open it");
    auto amr = audio::AmrReader::open(in);
    if (!amr.ok())
        return inputFailure(amr.error().message);
    auto decoder = AmrDecoder::create();
    if (!decoder.ok())
        return decoder.error();
    auto file = audio::OutputFile::create(wavPath);
    if (!file.ok())
        return file.error();
    auto wav = audio::WavWriter::start(file.value());
    if (!wav.ok())
        return wav.error();

    audio::AmrReader::Frame frame{};
    std::size_t frames = 0;
    for (;; ++frames) {
        const auto size = amr.value().read(frame);
        if (!size.ok())
            return inputFailure(size.error().message);
        if (size.value() == 0)
            break;
        if (auto error = wav.value().append(decoder.value().decode(std::span(frame.data(), size.value()))))
            return error;
    }
    if (frames == 0)
        return inputFailure("it holds no frames");
    if (auto error = wav.value().finish())
        return error;
    return file.value().commit();
}
