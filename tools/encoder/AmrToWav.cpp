// Reads the AMR file frame by frame and writes each decoded frame.

#include "AmrToWav.h"

#include "AmrDecoder.h"
#include "AmrReader.h"
#include "InputFile.h"
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
    const auto written = audio::WavWriter::writeFile(wavPath, [&](audio::WavWriter &wav) -> audio::Result<bool> {
        audio::AmrReader::Frame frame{};
        std::size_t frames = 0;
        for (;; ++frames) {
            const auto size = amr.read(frame);
            if (!size.ok())
                return input.value().failure(size.error());
            if (size.value() == 0)
                break;
            if (auto error = wav.append(decoder.value().decode(std::span(frame.data(), size.value()))))
                return *error;
        }
        if (frames == 0)
            return input.value().failure(Error{"it holds no frames"});
        if (auto error = wav.finish())
            return *error;
        return true;
    });
    if (!written.ok())
        return written.error();
    return std::nullopt;
}
