// Reads the AMR file frame by frame and writes each decoded frame.

#include "AmrToWav.h"

#include "AmrDecoder.h"
#include "AmrReader.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "WavWriter.h"

using audio::Error;

audio::Status amrToWav(const std::string &amrPath, const std::string &wavPath)
{
    auto input = InputFile<audio::AmrReader>::open(amrPath);
    if (!input.ok())
        return input.error();
    audio::AmrReader &amr = input.value().reader();
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
        const auto size = amr.read(frame);
        if (!size.ok())
            return input.value().failure(size.error());
        if (size.value() == 0)
            break;
        if (auto error = wav.value().append(decoder.value().decode(std::span(frame.data(), size.value()))))
            return error;
    }
    if (frames == 0)
        return input.value().failure(Error{"it holds no frames"});
    if (auto error = wav.value().finish())
        return error;
    return file.value().commit();
}
