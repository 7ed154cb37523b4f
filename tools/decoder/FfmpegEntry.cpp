// The FFmpeg module's entry point: FfmpegDecoder behind a C name.

#include "FfmpegEntry.h"

#include "FfmpegDecoder.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <type_traits>

extern "C" AudioSource *amrOpenWithFfmpeg(const char *path, char *error, std::size_t errorSize)
{
    auto decoder = FfmpegDecoder::open(std::make_unique<std::ifstream>(path, std::ios::binary));
    if (!decoder.ok()) {
        std::snprintf(error, errorSize, "%s", decoder.error().message.c_str());
        return nullptr;
    }
    return decoder.value().release();
}

// The check that the definition above matches what the decoder looks up.
static_assert(std::is_same_v<decltype(&amrOpenWithFfmpeg), OpenWithFfmpeg>);
