#pragma once

// converter wav2amr: encodes a WAV file as AMR-NB in one mode. 8000 Hz, 16-bit, mono
// audio goes to as many threads as there are cores (or AMR_ENCODER_THREADS says); any
// other PCM or float audio is mixed to mono and resampled to 8000 Hz on one thread. A
// last partial frame is padded with silence.

#include "AudioResult.h"

#include <string>

audio::Status wavToAmr(const std::string &wavPath, const std::string &amrPath, int mode);
