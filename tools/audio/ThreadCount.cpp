// Reads the variable, or counts the cores.

#include "ThreadCount.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace audio {

Result<unsigned> threadCount(const char *variable)
{
    const char *setting = std::getenv(variable);
    if (!setting)
        return std::clamp(std::thread::hardware_concurrency(), 1u, maxThreads);
    const char *end = setting + std::strlen(setting);
    unsigned threads = 0;
    const auto [last, error] = std::from_chars(setting, end, threads);
    if (error != std::errc() || last != end || threads < 1 || threads > maxThreads) {
        return Error{std::string(variable) + " is \"" + setting + "\"; it must be a whole number from 1 to "
                     + std::to_string(maxThreads)};
    }
    return threads;
}

} // namespace audio
