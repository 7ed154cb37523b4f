// Fuzz target for the WAV reader.

#include "WavReader.h"

#include <array>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    auto reader = audio::WavReader::open(in);
    if (!reader.ok())
        return 0;
    // Every size is checked against the file: the frames promised are in it.
    const audio::WavFormat format = reader.value().format();
    if (reader.value().frameCount() * static_cast<std::uint64_t>(format.bytesPerFrame()) > size)
        std::abort();
    std::array<float, 160> samples{};
    std::uint64_t total = 0;
    for (;;) {
        const auto count = reader.value().readMono(samples);
        if (!count.ok() || count.value() == 0)
            break;
        for (std::size_t i = 0; i < count.value(); ++i) {
            if (!(samples[i] >= -1.0f && samples[i] <= 1.0f) && !format.isFloat)
                std::abort();
        }
        total += count.value();
    }
    if (total != reader.value().frameCount())
        std::abort();
    // 16-bit mono audio can also be read as it is.
    if (!format.isFloat && format.bitsPerSample == 16 && format.channels == 1) {
        std::array<std::int16_t, 160> pcm{};
        if (reader.value().seek(0) || !reader.value().read(pcm).ok())
            std::abort();
    }
    return 0;
}
