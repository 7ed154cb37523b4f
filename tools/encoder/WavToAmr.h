#pragma once

// converter wav2amr: encodes an 8000 Hz, 16-bit, mono WAV file as AMR-NB in one mode,
// on as many threads as encoderThreads() allows. A last partial frame is padded with
// silence.

#include "AudioResult.h"

#include <string>

audio::Status wavToAmr(const std::string &wavPath, const std::string &amrPath, int mode);
