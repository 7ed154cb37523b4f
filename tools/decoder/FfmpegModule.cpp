// dlopen of the module found beside the program itself (through /proc/self/exe, so also
// when the decoder was started through a link in a personal tool folder).

#include "FfmpegModule.h"

#include "FfmpegEntry.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <string>

using audio::Error;

namespace {

Error loadFailure(const std::string &reason)
{
    return Error{"cannot load " FFMPEG_MODULE_NAME ", which reads formats other than MP3: " + reason};
}

} // namespace

audio::Result<std::unique_ptr<AudioSource>> openWithFfmpegModule(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return loadFailure("cannot find the decoder's own folder: " + error.message());
    const std::string modulePath = (program.parent_path() / FFMPEG_MODULE_NAME).string();
    // Never closed: the reader's code lives in it.
    void *module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return loadFailure(dlerror());
    const auto open = reinterpret_cast<OpenWithFfmpeg>(dlsym(module, openWithFfmpegSymbol));
    if (!open)
        return loadFailure(dlerror());
    std::array<char, 512> reason{};
    std::unique_ptr<AudioSource> source(open(path.c_str(), reason.data(), reason.size()));
    if (!source)
        return Error{reason.data()};
    return source;
}
