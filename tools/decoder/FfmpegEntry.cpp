// The FFmpeg module's entry point: FfmpegDecoder behind a C name.

#include "FfmpegEntry.h"

#include "FfmpegDecoder.h"

#include <memory>
#include <type_traits>

extern "C" AudioSource *amrOpenWithFfmpeg(std::istream *in, std::string *error)
{
    auto decoder = FfmpegDecoder::open(std::unique_ptr<std::istream>(in));
    if (!decoder.ok()) {
        *error = decoder.error().message;
        return nullptr;
    }
    return decoder.value().release();
}

// The check that the definition above matches what the decoder looks up.
static_assert(std::is_same_v<decltype(&amrOpenWithFfmpeg), OpenWithFfmpeg>);
