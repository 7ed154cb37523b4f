#pragma once

// The tools' runs on several threads: the first on the calling thread, each other on a
// thread of its own.

#include "AudioResult.h"

#include <cstddef>
#include <functional>

namespace audio {

// Runs job(0) ... job(count - 1) at once and returns when all have ended. An error naming
// `thread` ("a decoder thread") when one cannot be started; the jobs started before it
// still run to their end first.
Status runOnThreads(std::size_t count, const std::function<void(std::size_t)> &job, const char *thread);

} // namespace audio
