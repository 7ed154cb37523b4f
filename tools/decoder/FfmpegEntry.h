#pragma once

// The one function the FFmpeg module exports, under a C name so that the decoder finds it
// with dlsym. Both sides are built together, so the reader it returns is an AudioSource of
// the decoder's own kind; its code stays in the module, which is never unloaded.

#include "AudioSource.h"

#include <istream>
#include <string>

// Takes over `in` (seekable) and returns the reader for the sound it holds; nothing, with
// the reason in `error`, when there is none.
using OpenWithFfmpeg = AudioSource *(*)(std::istream *in, std::string *error);

inline constexpr const char *openWithFfmpegSymbol = "amrOpenWithFfmpeg";
