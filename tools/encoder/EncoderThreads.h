#pragma once

// How many threads converter wav2amr may encode on: one per core, or what the
// environment variable AMR_ENCODER_THREADS says (a whole number from 1 to maxThreads;
// 1 keeps the encoder on the one-thread path).

#include "AudioResult.h"

inline constexpr unsigned maxEncoderThreads = 16;

audio::Result<unsigned> encoderThreads();
