#pragma once

// Encodes the runs of a WAV file on one thread each (the first on the calling thread).
// Every frame of one mode has the same size, so each run writes its frames straight to
// their place in the AMR file, a block at a time: memory stays flat for any length.

#include "AmrWriter.h"
#include "AudioResult.h"
#include "FrameRuns.h"

#include <string>
#include <vector>

// Writes the kept frames of every run in `mode` to `amr`; the first run's error, if any.
audio::Status encodeRuns(const std::string &wavPath, const std::vector<FrameRun> &runs, int mode,
                         const audio::AmrWriter &amr);
