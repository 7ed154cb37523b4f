// Fuzz target for the AMR reader; README.md beside it says what each target checks.

#include "AmrReader.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    auto reader = audio::AmrReader::open(in);
    if (!reader.ok())
        return 0;
    audio::AmrReader::Frame frame{};
    std::size_t total = audio::AmrStorage::magic.size();
    for (;;) {
        const auto bytes = reader.value().read(frame);
        if (!bytes.ok() || bytes.value() == 0)
            break;
        if (audio::AmrStorage::frameBytes(audio::AmrStorage::frameType(frame[0])) != bytes.value())
            std::abort();
        total += bytes.value();
    }
    if (total > size)
        std::abort();
    return 0;
}
