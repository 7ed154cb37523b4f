#pragma once

// Opens the decoder's input: probes what the file holds and picks the reader for it,
// libmpg123 for MPEG audio, FFmpeg for everything else (in builds with AMR_WITH_FFMPEG;
// without it, other formats get an error that says so).

#include "AudioSource.h"

#include <istream>
#include <memory>
#include <string>

// The reader for the file at `path`, which must be a file with something in it.
audio::Result<std::unique_ptr<AudioSource>> openAudioFile(const std::string &path);

// The reader for the stream `in`, which must be seekable.
audio::Result<std::unique_ptr<AudioSource>> openAudioStream(std::unique_ptr<std::istream> in);
