// Writes the AMR-NB storage format, checking each frame's size against its header.

#include "AmrWriter.h"

#include "AmrStorage.h"

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
    const auto expected =
        frame.empty() ? std::nullopt : AmrStorage::frameBytes(AmrStorage::frameType(frame[0]));
    if (!expected || *expected != frame.size()) {
        return Error{"the AMR encoder produced a frame of " + std::to_string(frame.size())
                     + " bytes that does not match its header"};
    }
    return m_file->write(std::as_bytes(frame));
}

} // namespace audio
