#pragma once

// The one function the FFmpeg module exports, under a C name so that the decoder finds it
// with dlsym (GetProcAddress on Windows). The module opens the file itself and keeps its streams and strings to
// itself, so that nothing of the C++ library's state crosses between the decoder and the
// module (which may each have a copy of it); only the reader does, an AudioSource whose
// code stays in the module, which is never unloaded.

#include "AudioSource.h"

#include <cstddef>

// The reader for the sound in the file at `path`; nothing, with the reason in `error`
// (cut to `errorSize` bytes with its terminating zero), when there is none.
using OpenWithFfmpeg = AudioSource *(*)(const char *path, char *error, std::size_t errorSize);

inline constexpr const char *openWithFfmpegSymbol = "amrOpenWithFfmpeg";
