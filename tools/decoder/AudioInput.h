#pragma once

// Opens the decoder's input: probes what the file holds and picks the reader for it,
// libmpg123 for MPEG audio, FFmpeg for everything else (through the module FfmpegModule
// loads).

#include "AudioSource.h"

#include <functional>
#include <istream>
#include <memory>
#include <string>

// What reads the formats other than MPEG audio, given a seekable stream of them.
using OtherFormatReader = std::function<audio::Result<std::unique_ptr<AudioSource>>(std::unique_ptr<std::istream> in)>;

// The reader for the file at `path`, which must be a file with something in it (anything
// but a regular file is refused before it is opened).
audio::Result<std::unique_ptr<AudioSource>> openAudioFile(const std::string &path);

// The reader for the stream `in`, which must be seekable; formats other than MPEG audio go
// to `readOtherFormats`.
audio::Result<std::unique_ptr<AudioSource>> openAudioStream(std::unique_ptr<std::istream> in,
                                                            const OtherFormatReader &readOtherFormats);
