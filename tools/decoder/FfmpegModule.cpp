// The module's reader behind the decoder's error type.

#include "FfmpegModule.h"

#include <array>

using audio::Error;

audio::Result<std::unique_ptr<AudioSource>> openWithFfmpegModule(const std::string &path)
{
    const auto open = loadFfmpegModule();
    if (!open.ok())
        return Error{"cannot load " FFMPEG_MODULE_NAME ", which reads formats other than MP3: " + open.error().message};
    std::array<char, 512> reason{};
    std::unique_ptr<AudioSource> source(open.value()(path.c_str(), reason.data(), reason.size()));
    if (!source)
        return Error{reason.data()};
    return source;
}
