// WAV header parsing and sample reading for the AMR encoder.

#include "WavReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace audio {

namespace {

constexpr std::uint16_t formatPcm = 1;
// Sample frames read at a time.
constexpr std::size_t readBlock = 1024;
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

constexpr std::uint32_t formatFloat = 3;

Result<WavFormat> parseFormat(std::span<const std::uint8_t> fmt)
{
    if (fmt.size() < 16)
        return Error{"its fmt chunk is " + std::to_string(fmt.size()) + " bytes, too short for a WAV format"};
    std::uint32_t format = littleEndian(&fmt[0], 2);
    const std::uint32_t channels = littleEndian(&fmt[2], 2);
    const std::uint32_t rate = littleEndian(&fmt[4], 4);
    const std::uint32_t blockAlign = littleEndian(&fmt[12], 2);
    const std::uint32_t bits = littleEndian(&fmt[14], 2);

    if (format == formatExtensible) {
        if (fmt.size() < 40 || littleEndian(&fmt[16], 2) < 22)
            return Error{"its fmt chunk says WAVE_FORMAT_EXTENSIBLE but is too short for it"};
        if (!std::equal(standardGuidTail.begin(), standardGuidTail.end(), fmt.begin() + 26))
            return Error{"it holds WAVE_FORMAT_EXTENSIBLE audio of a sub-format that is neither PCM nor float"};
        // The sub-format's samples may use fewer bits than their containers; the spare low
        // bits are zero, so the containers are read whole.
        format = littleEndian(&fmt[24], 2);
    }
    if (format == formatPcm) {
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            return Error{"it holds " + std::to_string(bits)
                         + "-bit PCM audio; the encoder reads PCM of 8, 16, 24 or 32 bits"};
        }
    } else if (format == formatFloat) {
        if (bits != 32 && bits != 64) {
            return Error{"it holds " + std::to_string(bits)
                         + "-bit floating-point audio; the encoder reads 32 or 64 bits"};
        }
    } else {
        return Error{"it holds " + formatName(format) + " audio; the encoder reads PCM or floating-point audio"};
    }
    if (channels == 0 || rate == 0)
        return Error{"its fmt chunk gives " + std::to_string(channels) + " channels at " + std::to_string(rate) + " Hz"};
    if (blockAlign != channels * bits / 8) {
        return Error{"its fmt chunk is inconsistent: " + std::to_string(blockAlign) + " bytes per sample frame for "
                     + std::to_string(channels) + " channels of " + std::to_string(bits) + " bits"};
    }
    return WavFormat{format == formatFloat, static_cast<int>(bits), static_cast<int>(channels), rate};
}

// A size field that writers leave at 0 or 0xFFFFFFFF when they cannot go back to fill it
// in, as when they write to a pipe.
bool unknownSize(std::uint32_t size) { return size == 0 || size == 0xFFFFFFFFu; }

// One sample in the file's encoding at full scale +-1; what is not a number is silence.
float sampleAt(const std::uint8_t *bytes, const WavFormat &format)
{
    if (format.isFloat) {
        if (format.bitsPerSample == 32) {
            std::uint32_t word = littleEndian(bytes, 4);
            float value;
            std::memcpy(&value, &word, sizeof value);
            return std::isfinite(value) ? value : 0.0f;
        }
        const std::uint64_t word = littleEndian(bytes, 4) | (std::uint64_t{littleEndian(bytes + 4, 4)} << 32);
        double value;
        std::memcpy(&value, &word, sizeof value);
        return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
    }
    switch (format.bitsPerSample) {
    case 8: return (static_cast<float>(bytes[0]) - 128.0f) / 128.0f;
    case 16: return static_cast<float>(static_cast<std::int16_t>(littleEndian(bytes, 2))) / 32768.0f;
    case 24: return static_cast<float>(static_cast<std::int32_t>(littleEndian(bytes, 3) << 8) >> 8) / 8388608.0f;
    default: return static_cast<float>(static_cast<std::int32_t>(littleEndian(bytes, 4))) / 2147483648.0f;
    }
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
    const std::uint32_t riffSize = littleEndian(&riff[4], 4);
    const std::uint64_t riffEnd = unknownSize(riffSize) ? size : 8 + std::uint64_t{riffSize};
    if (riffEnd > size) {
        return Error{"its RIFF header counts " + std::to_string(riffEnd) + " bytes but the file has "
                     + std::to_string(size) + " (truncated?)"};
    }

    std::optional<WavFormat> format;
    std::uint64_t position = riff.size();
    while (position + 8 <= riffEnd) {
        std::array<std::uint8_t, 8> chunk{};
        if (!bytes.readAt(position, chunk.data(), chunk.size()))
            return Error{"cannot read the chunk header at byte " + std::to_string(position)};
        const std::uint32_t chunkSize = littleEndian(&chunk[4], 4);
        const std::uint64_t body = position + 8;
        const std::string id(chunk.begin(), chunk.begin() + 4);
        if (id == "data") {
            if (!format)
                return Error{"its data chunk comes before any fmt chunk"};
            const auto frameBytes = static_cast<std::uint64_t>(format->bytesPerFrame());
            std::uint64_t dataBytes = chunkSize;
            if (unknownSize(chunkSize)) {
                // Up to the end of the RIFF data; a last frame that the writer did not
                // finish is left out.
                dataBytes = (riffEnd - body) / frameBytes * frameBytes;
            } else if (body + chunkSize > riffEnd) {
                return Error{"its \"data\" chunk at byte " + std::to_string(position) + " counts "
                             + std::to_string(chunkSize) + " bytes, past the end of the file"};
            } else if (chunkSize % frameBytes != 0) {
                return Error{"its data chunk counts " + std::to_string(chunkSize) + " bytes, not a whole number of "
                             + std::to_string(frameBytes) + "-byte sample frames"};
            }
            in.clear();
            in.seekg(static_cast<std::streamoff>(body));
            return WavReader(in, *format, body, dataBytes / frameBytes);
        }
        if (body + chunkSize > riffEnd) {
            return Error{"its " + printable(chunk.data()) + " chunk at byte " + std::to_string(position)
                         + " counts " + std::to_string(chunkSize) + " bytes, past the end of the file"};
        }
        if (id == "fmt ") {
            if (format)
                return Error{"it has two fmt chunks"};
            std::vector<std::uint8_t> fmt(std::min<std::uint32_t>(chunkSize, 40));
            if (!bytes.readAt(body, fmt.data(), fmt.size()))
                return Error{"cannot read its fmt chunk"};
            auto parsed = parseFormat(fmt);
            if (!parsed.ok())
                return parsed.error();
            format = parsed.value();
        }
        position = body + chunkSize + (chunkSize % 2);
    }
    return Error{format ? "it has no data chunk" : "it has no fmt chunk"};
}

Status WavReader::readFrames(std::size_t count)
{
    m_raw.resize(count * static_cast<std::size_t>(m_format.bytesPerFrame()));
    m_in->read(reinterpret_cast<char *>(m_raw.data()), static_cast<std::streamsize>(m_raw.size()));
    if (m_in->gcount() != static_cast<std::streamsize>(m_raw.size()))
        return Error{"cannot read its audio data"};
    m_framesLeft -= count;
    return std::nullopt;
}

Result<std::size_t> WavReader::read(std::span<std::int16_t> samples)
{
    if (m_format.isFloat || m_format.bitsPerSample != 16 || m_format.channels != 1)
        return Error{"its audio is not 16-bit mono PCM"};
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(samples.size(), m_framesLeft));
    for (std::size_t done = 0; done < count;) {
        const std::size_t block = std::min<std::size_t>(count - done, readBlock);
        if (auto error = readFrames(block))
            return *error;
        for (std::size_t i = 0; i < block; ++i)
            samples[done + i] = static_cast<std::int16_t>(littleEndian(&m_raw[2 * i], 2));
        done += block;
    }
    return count;
}

Result<std::size_t> WavReader::readMono(std::span<float> samples)
{
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(samples.size(), m_framesLeft));
    const auto sampleBytes = static_cast<std::size_t>(m_format.bitsPerSample / 8);
    const auto channels = static_cast<std::size_t>(m_format.channels);
    for (std::size_t done = 0; done < count;) {
        const std::size_t block = std::min<std::size_t>(count - done, readBlock);
        if (auto error = readFrames(block))
            return *error;
        for (std::size_t i = 0; i < block; ++i) {
            float sum = 0;
            for (std::size_t channel = 0; channel < channels; ++channel)
                sum += sampleAt(&m_raw[(i * channels + channel) * sampleBytes], m_format);
            samples[done + i] = sum / static_cast<float>(channels);
        }
        done += block;
    }
    return count;
}

Status WavReader::seek(std::uint64_t index)
{
    if (index > m_frameCount) {
        return Error{"sample " + std::to_string(index) + " is past the end of its "
                     + std::to_string(m_frameCount) + " samples"};
    }
    m_in->clear();
    m_in->seekg(static_cast<std::streamoff>(m_dataStart + index * static_cast<std::uint64_t>(m_format.bytesPerFrame())));
    if (!*m_in)
        return Error{"cannot read its audio data"};
    m_framesLeft = m_frameCount - index;
    return std::nullopt;
}

} // namespace audio
