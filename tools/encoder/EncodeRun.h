#pragma once

// Encodes one run of a WAV file's frames with an encoder of its own, reading the file
// through a stream of its own, so that runs can be encoded on several threads at once.

#include "AudioResult.h"
#include "FrameRuns.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Takes each kept frame, header byte first, while it is valid.
using FrameSink = std::function<audio::Status(std::span<const std::uint8_t>)>;

// Encodes the frames of `run` in `mode` and hands those it keeps to `sink` in order. The
// last frame of the file is padded with silence.
audio::Status encodeRun(const std::string &wavPath, const FrameRun &run, int mode, const FrameSink &sink);
