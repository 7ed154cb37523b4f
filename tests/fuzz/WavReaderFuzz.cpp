// Fuzz target for the WAV reader: any bytes are either refused or read within the sizes
// the file really has.

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
    // Every size is checked against the file: the samples promised are in it.
    if (2 * std::size_t{reader.value().sampleCount()} > size)
        std::abort();
    std::array<std::int16_t, 160> samples{};
    std::size_t total = 0;
    for (;;) {
        const auto count = reader.value().read(samples);
        if (!count.ok() || count.value() == 0)
            break;
        total += count.value();
    }
    if (total != reader.value().sampleCount())
        std::abort();
    return 0;
}
