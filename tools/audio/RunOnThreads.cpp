#include "RunOnThreads.h"

#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace audio {

Status runOnThreads(std::size_t count, const std::function<void(std::size_t)> &job, const char *thread)
{
    try {
        // The threads are joined when `workers` goes, also when starting one fails.
        std::vector<std::jthread> workers;
        for (std::size_t index = 1; index < count; ++index)
            workers.emplace_back(job, index);
        job(0);
    } catch (const std::system_error &error) {
        return Error{std::string("cannot start ") + thread + ": " + error.what()};
    }
    return std::nullopt;
}

} // namespace audio
