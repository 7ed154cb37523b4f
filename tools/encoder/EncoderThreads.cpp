// Reads AMR_ENCODER_THREADS, or counts the cores.

#include "EncoderThreads.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

audio::Result<unsigned> encoderThreads()
{
    const char *setting = std::getenv("AMR_ENCODER_THREADS");
    if (!setting)
        return std::clamp(std::thread::hardware_concurrency(), 1u, maxEncoderThreads);
    const char *end = setting + std::strlen(setting);
    unsigned threads = 0;
    const auto [last, error] = std::from_chars(setting, end, threads);
    if (error != std::errc() || last != end || threads < 1 || threads > maxEncoderThreads) {
        return audio::Error{"AMR_ENCODER_THREADS is \"" + std::string(setting)
                            + "\"; it must be a whole number from 1 to "
                            + std::to_string(maxEncoderThreads)};
    }
    return threads;
}
