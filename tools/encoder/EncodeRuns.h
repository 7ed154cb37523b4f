#pragma once

// Encodes the runs of a WAV file on one thread each (the first on the calling thread)
// and keeps their frames in memory until all are done: at most 32 bytes per 20 ms of
// audio, a tenth of the 16-bit samples they come from.

#include "AudioResult.h"
#include "FrameRuns.h"

#include <cstdint>
#include <string>
#include <vector>

// Each run's kept frames, back to back, in the order of `runs`; or the first run's error.
audio::Result<std::vector<std::vector<std::uint8_t>>>
encodeRuns(const std::string &wavPath, const std::vector<FrameRun> &runs, int mode);
