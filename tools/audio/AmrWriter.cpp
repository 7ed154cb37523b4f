// Writes the AMR-NB storage format, checking each frame's size against its header.

#include "AmrWriter.h"

#include "AmrStorage.h"

#include <algorithm>
#include <string>

namespace audio {

Result<AmrWriter> AmrWriter::start(OutputFile &file)
{
    if (auto error = file.write(std::as_bytes(std::span(AmrStorage::magic))))
        return *error;
    return AmrWriter(file);
}

Status AmrWriter::write(std::span<const std::uint8_t> frame)
{
    if (auto error = check(frame))
        return error;
    return m_file->write(std::as_bytes(frame));
}

Status AmrWriter::writeAt(std::uint64_t first, std::span<const std::uint8_t> frames, std::size_t frameBytes) const
{
    for (std::size_t at = 0; at < frames.size(); at += frameBytes) {
        if (auto error = check(frames.subspan(at, std::min(frameBytes, frames.size() - at))))
            return error;
    }
    return m_file->writeAt(AmrStorage::magic.size() + first * frameBytes, std::as_bytes(frames));
}

Status AmrWriter::check(std::span<const std::uint8_t> frame)
{
    const auto expected =
        frame.empty() ? std::nullopt : AmrStorage::frameBytes(AmrStorage::frameType(frame[0]));
    if (!expected || *expected != frame.size()) {
        return Error{"the AMR encoder produced a frame of " + std::to_string(frame.size())
                     + " bytes that does not match its header"};
    }
    return std::nullopt;
}

} // namespace audio
