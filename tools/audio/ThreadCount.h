#pragma once

// How many threads a tool may work on: one per core, or what an environment variable such
// as AMR_ENCODER_THREADS says (a whole number from 1 to maxThreads; 1 keeps the tool on
// its one-thread path).

#include "AudioResult.h"

namespace audio {

inline constexpr unsigned maxThreads = 16;

// The count that `variable` sets, or the number of cores (at most maxThreads) without it;
// an error that names the variable when it holds anything else.
Result<unsigned> threadCount(const char *variable);

} // namespace audio
