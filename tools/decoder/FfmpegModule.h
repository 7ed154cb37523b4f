#pragma once

// FFmpeg's libraries bring about 135 shared libraries with them on Linux, whose loading
// would cost every run of the decoder a tenth of a second and over 20 MB, MP3 or not. So
// the reader for formats other than MPEG audio lives in a module of its own beside the
// decoder in the tool folder (ffmpeg-formats.so, or ffmpeg-formats.dll on Windows, where
// FFmpeg is linked into it), which is loaded only when a file needs it.

#include "AudioSource.h"
#include "FfmpegEntry.h"

#include <memory>
#include <string>

// The FFmpeg reader for the file at `path`, from the module beside the running program;
// an error when the module cannot be loaded or FFmpeg finds no sound.
audio::Result<std::unique_ptr<AudioSource>> openWithFfmpegModule(const std::string &path);

// The module's entry point, loaded from the folder of the running program (never
// unloaded: the reader's code lives in it); the reason when it cannot be. Each platform
// has its own, in FfmpegModule_unix.cpp and FfmpegModule_win.cpp.
audio::Result<OpenWithFfmpeg> loadFfmpegModule();
