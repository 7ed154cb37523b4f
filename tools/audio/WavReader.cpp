// Strict WAV header parsing and sample reading for the AMR encoder.

#include "WavReader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace audio {

namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xFFFE;
// The 14 bytes that follow the format code in the GUID of every standard sub-format.
constexpr std::array<std::uint8_t, 14> standardGuidTail{
    0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint32_t littleEndian(const std::uint8_t *bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// A chunk identifier as text a terminal can show.
std::string printable(const std::uint8_t *id)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (id[i] >= 0x20 && id[i] < 0x7F) {
            text += static_cast<char>(id[i]);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", id[i]);
            text += escaped;
        }
    }
    return '"' + text + '"';
}

std::string formatName(std::uint32_t code)
{
    switch (code) {
    case 2: return "MS ADPCM";
    case 3: return "IEEE floating-point";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x11: return "IMA ADPCM";
    case 0x55: return "MPEG layer III";
    default: return "format " + std::to_string(code);
    }
}

class ByteReader {
public:
    explicit ByteReader(std::istream &in) : m_in(in) {}

    bool readAt(std::uint64_t offset, std::uint8_t *into, std::size_t count)
    {
        m_in.clear();
        m_in.seekg(static_cast<std::streamoff>(offset));
        m_in.read(reinterpret_cast<char *>(into), static_cast<std::streamsize>(count));
        return m_in.gcount() == static_cast<std::streamsize>(count);
    }

private:
    std::istream &m_in;
};

Status checkFormat(std::span<const std::uint8_t> fmt)
{
    if (fmt.size() < 16)
        return Error{"its fmt chunk is " + std::to_string(fmt.size()) + " bytes, too short for a WAV format"};
    std::uint32_t format = littleEndian(&fmt[0], 2);
    const std::uint32_t channels = littleEndian(&fmt[2], 2);
    const std::uint32_t rate = littleEndian(&fmt[4], 4);
    const std::uint32_t byteRate = littleEndian(&fmt[8], 4);
    const std::uint32_t blockAlign = littleEndian(&fmt[12], 2);
    const std::uint32_t bits = littleEndian(&fmt[14], 2);

    if (format == formatExtensible) {
        if (fmt.size() < 40 || littleEndian(&fmt[16], 2) < 22)
            return Error{"its fmt chunk says WAVE_FORMAT_EXTENSIBLE but is too short for it"};
        const std::uint32_t validBits = littleEndian(&fmt[18], 2);
        if (!std::equal(standardGuidTail.begin(), standardGuidTail.end(), fmt.begin() + 26))
            return Error{"it holds WAVE_FORMAT_EXTENSIBLE audio of a sub-format that is not PCM"};
        format = littleEndian(&fmt[24], 2);
        if (format == formatPcm && validBits != bits) {
            return Error{"it holds " + std::to_string(validBits) + "-bit samples in "
                         + std::to_string(bits) + "-bit containers; the encoder needs 16-bit PCM"};
        }
    }
    if (format != formatPcm)
        return Error{"it holds " + formatName(format) + " audio; the encoder needs PCM"};
    if (rate != 8000 || channels != 1 || bits != 16) {
        return Error{"it holds " + std::to_string(rate) + " Hz, " + std::to_string(channels)
                     + (channels == 1 ? " channel, " : " channels, ") + std::to_string(bits)
                     + "-bit audio; the encoder needs 8000 Hz, mono, 16-bit"};
    }
    if (blockAlign != 2 || byteRate != 16000) {
        return Error{"its fmt chunk is inconsistent: " + std::to_string(blockAlign)
                     + " bytes per sample frame and " + std::to_string(byteRate)
                     + " bytes per second for 8000 Hz, mono, 16-bit audio"};
    }
    return std::nullopt;
}

} // namespace

Result<WavReader> WavReader::open(std::istream &in)
{
    in.seekg(0, std::ios::end);
    const std::streamoff fileSize = in.tellg();
    if (fileSize < 0)
        return Error{"cannot determine the file's size"};
    const auto size = static_cast<std::uint64_t>(fileSize);
    ByteReader bytes(in);

    std::array<std::uint8_t, 12> riff{};
    if (size < riff.size() || !bytes.readAt(0, riff.data(), riff.size()))
        return Error{"it is not a WAV file: " + std::to_string(size) + " bytes are too few for a RIFF header"};
    if (std::string(riff.begin(), riff.begin() + 4) != "RIFF"
        || std::string(riff.begin() + 8, riff.end()) != "WAVE") {
        return Error{"it is not a WAV file: it does not start with a RIFF/WAVE header"};
    }
    const std::uint64_t riffEnd = 8 + std::uint64_t{littleEndian(&riff[4], 4)};
    if (riffEnd > size) {
        return Error{"its RIFF header counts " + std::to_string(riffEnd) + " bytes but the file has "
                     + std::to_string(size) + " (truncated?)"};
    }

    bool haveFormat = false;
    std::uint64_t position = riff.size();
    while (position + 8 <= riffEnd) {
        std::array<std::uint8_t, 8> chunk{};
        if (!bytes.readAt(position, chunk.data(), chunk.size()))
            return Error{"cannot read the chunk header at byte " + std::to_string(position)};
        const std::uint32_t chunkSize = littleEndian(&chunk[4], 4);
        const std::uint64_t body = position + 8;
        if (body + chunkSize > riffEnd) {
            return Error{"its " + printable(chunk.data()) + " chunk at byte " + std::to_string(position)
                         + " counts " + std::to_string(chunkSize) + " bytes, past the end of the file"};
        }
        const std::string id(chunk.begin(), chunk.begin() + 4);
        if (id == "fmt ") {
            if (haveFormat)
                return Error{"it has two fmt chunks"};
            std::vector<std::uint8_t> fmt(std::min<std::uint32_t>(chunkSize, 40));
            if (!bytes.readAt(body, fmt.data(), fmt.size()))
                return Error{"cannot read its fmt chunk"};
            if (auto error = checkFormat(fmt))
                return *error;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return Error{"its data chunk comes before any fmt chunk"};
            if (chunkSize % 2 != 0) {
                return Error{"its data chunk counts " + std::to_string(chunkSize)
                             + " bytes, not a whole number of 16-bit samples"};
            }
            in.clear();
            in.seekg(static_cast<std::streamoff>(body));
            return WavReader(in, body, chunkSize / 2);
        }
        position = body + chunkSize + (chunkSize % 2);
    }
    return Error{haveFormat ? "it has no data chunk" : "it has no fmt chunk"};
}

Result<std::size_t> WavReader::read(std::span<std::int16_t> samples)
{
    const std::size_t count = std::min<std::size_t>(samples.size(), m_samplesLeft);
    std::array<std::uint8_t, 2 * 1024> raw;
    std::size_t done = 0;
    while (done < count) {
        const std::size_t block = std::min(count - done, raw.size() / 2);
        m_in->read(reinterpret_cast<char *>(raw.data()), static_cast<std::streamsize>(2 * block));
        if (m_in->gcount() != static_cast<std::streamsize>(2 * block))
            return Error{"cannot read its audio data"};
        for (std::size_t i = 0; i < block; ++i)
            samples[done + i] = static_cast<std::int16_t>(littleEndian(&raw[2 * i], 2));
        done += block;
    }
    m_samplesLeft -= static_cast<std::uint32_t>(count);
    return count;
}

Status WavReader::seek(std::uint32_t index)
{
    if (index > m_sampleCount) {
        return Error{"sample " + std::to_string(index) + " is past the end of its "
                     + std::to_string(m_sampleCount) + " samples"};
    }
    m_in->clear();
    m_in->seekg(static_cast<std::streamoff>(m_dataStart + 2 * std::uint64_t{index}));
    if (!*m_in)
        return Error{"cannot read its audio data"};
    m_samplesLeft = m_sampleCount - index;
    return std::nullopt;
}

} // namespace audio
