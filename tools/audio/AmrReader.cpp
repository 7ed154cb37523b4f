// Frame-by-frame reading of the AMR-NB storage format.

#include "AmrReader.h"

#include <cstdio>
#include <string>

namespace audio {

namespace {

constexpr std::string_view wideBandMagic = "#!AMR-WB\n";

std::string hexByte(unsigned value)
{
    char text[5];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

} // namespace

Result<AmrReader> AmrReader::open(std::istream &in)
{
    std::string start(wideBandMagic.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(in.gcount()));
    if (start == wideBandMagic)
        return Error{"it is an AMR-WB (wide-band) file; only AMR-NB is supported"};
    if (!start.starts_with(AmrStorage::magic))
        return Error{"it is not an AMR-NB file: it does not start with \"#!AMR\\n\""};
    in.clear();
    in.seekg(static_cast<std::streamoff>(AmrStorage::magic.size()));
    if (!in)
        return Error{"cannot read the file"};
    return AmrReader(in);
}

Result<std::size_t> AmrReader::read(Frame &frame)
{
    char header = 0;
    if (!m_in->get(header)) {
        if (m_in->eof())
            return std::size_t{0};
        return Error{"cannot read the file"};
    }
    ++m_frameNumber;
    const auto headerByte = static_cast<unsigned char>(header);
    const std::string where = "frame " + std::to_string(m_frameNumber) + " (header byte "
                              + hexByte(headerByte) + ")";
    if ((headerByte & 0x83) != 0)
        return Error{where + " has padding bits set: the file is corrupt"};
    const int type = AmrStorage::frameType(headerByte);
    const auto size = AmrStorage::frameBytes(type);
    if (!size) {
        return Error{where + " has frame type " + std::to_string(type)
                     + ", which AMR-NB does not use: the file is corrupt"};
    }
    frame[0] = headerByte;
    m_in->read(reinterpret_cast<char *>(frame.data() + 1), static_cast<std::streamsize>(*size - 1));
    if (m_in->gcount() != static_cast<std::streamsize>(*size - 1)) {
        return Error{"the file ends inside " + where + ": " + std::to_string(m_in->gcount() + 1)
                     + " of its " + std::to_string(*size) + " bytes are there (truncated?)"};
    }
    return *size;
}

} // namespace audio
