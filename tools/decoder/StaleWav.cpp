// OutputTarget's checks, then the file's first twelve bytes.

#include "StaleWav.h"

#include "OutputTarget.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

bool startsAsWav(const std::string &path)
{
    std::array<char, 12> header{};
    std::ifstream in(path, std::ios::binary);
    in.read(header.data(), header.size());
    return in.gcount() == static_cast<std::streamsize>(header.size()) && std::memcmp(header.data(), "RIFF", 4) == 0
           && std::memcmp(header.data() + 8, "WAVE", 4) == 0;
}

} // namespace

std::optional<std::string> removeStaleWav(const std::string &wavPath)
{
    const auto target = audio::OutputTarget::of(wavPath);
    if (!target.ok() || !target.value().exists() || !startsAsWav(target.value().writtenAt()))
        return std::nullopt;
    if (std::remove(target.value().writtenAt().c_str()) != 0)
        return "the old " + wavPath + " could not be removed: " + std::strerror(errno);
    return std::nullopt;
}
