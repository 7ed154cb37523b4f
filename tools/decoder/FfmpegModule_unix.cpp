// dlopen of the module found beside the program itself (through /proc/self/exe, so also
// when the decoder was started through a link in a personal tool folder).

#include "FfmpegModule.h"

#include <dlfcn.h>

#include <filesystem>

using audio::Error;

audio::Result<OpenWithFfmpeg> loadFfmpegModule()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return Error{"cannot find the decoder's own folder: " + error.message()};
    const std::string modulePath = (program.parent_path() / FFMPEG_MODULE_NAME).string();
    void *module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return Error{dlerror()};
    const auto open = reinterpret_cast<OpenWithFfmpeg>(dlsym(module, openWithFfmpegSymbol));
    if (!open)
        return Error{dlerror()};
    return open;
}
