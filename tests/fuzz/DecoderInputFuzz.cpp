// Fuzz target for the decoder's input path: the probe, then libmpg123 behind the frame
// scanner or FFmpeg.

#include "AudioInput.h"
#include "FfmpegDecoder.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    auto in = std::make_unique<std::istringstream>(std::string(reinterpret_cast<const char *>(data), size));
    // Linked in, not loaded as the decoder loads it, so that the sanitizers see into it.
    auto source = openAudioStream(std::move(in), FfmpegDecoder::open);
    if (!source.ok())
        return 0;
    // A bound on the blocks read, so that an input that decodes for long cannot stall.
    for (int blocks = 0; blocks < 20000; ++blocks) {
        const auto block = source.value()->read();
        if (!block.ok())
            return 0;
        if (block.value().samples.empty())
            break;
        if (block.value().sampleRate <= 0)
            std::abort();
        for (const float sample : block.value().samples) {
            if (!std::isfinite(sample))
                std::abort();
        }
    }
    for (const std::string &warning : source.value()->warnings()) {
        if (warning.empty() || warning.find('\n') != std::string::npos)
            std::abort();
    }
    return 0;
}
