// Streams 8000 Hz 16-bit mono PCM into a WAV file and completes its header at the end.

#include "WavWriter.h"

#include <array>
#include <vector>

namespace audio {

namespace {

constexpr std::uint32_t sampleRate = 8000;
constexpr std::uint16_t bytesPerSample = 2;
constexpr std::size_t headerBytes = 44;
// The RIFF size field counts everything after itself and must fit in 32 bits.
constexpr std::uint64_t maxDataBytes = 0xFFFFFFFFu - (headerBytes - 8);

void putLittleEndian(std::byte *at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

void putTag(std::byte *at, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::byte>(tag[i]);
}

// The samples in the file's byte order.
void encode(std::span<const std::int16_t> samples, std::vector<std::byte> &bytes)
{
    bytes.resize(samples.size() * bytesPerSample);
    for (std::size_t i = 0; i < samples.size(); ++i)
        putLittleEndian(&bytes[i * bytesPerSample], static_cast<std::uint16_t>(samples[i]), bytesPerSample);
}

std::array<std::byte, headerBytes> header(std::uint32_t dataBytes)
{
    std::array<std::byte, headerBytes> bytes{};
    putTag(&bytes[0], "RIFF");
    putLittleEndian(&bytes[4], dataBytes + headerBytes - 8, 4);
    putTag(&bytes[8], "WAVE");
    putTag(&bytes[12], "fmt ");
    putLittleEndian(&bytes[16], 16, 4);
    putLittleEndian(&bytes[20], 1, 2); // PCM
    putLittleEndian(&bytes[22], 1, 2); // mono
    putLittleEndian(&bytes[24], sampleRate, 4);
    putLittleEndian(&bytes[28], sampleRate * bytesPerSample, 4);
    putLittleEndian(&bytes[32], bytesPerSample, 2);
    putLittleEndian(&bytes[34], 16, 2);
    putTag(&bytes[36], "data");
    putLittleEndian(&bytes[40], dataBytes, 4);
    return bytes;
}

} // namespace

Result<WavWriter> WavWriter::start(OutputFile &file)
{
    if (auto error = file.write(header(0)))
        return *error;
    return WavWriter(file);
}

Result<bool> WavWriter::writeFile(const std::string &path, const std::function<Result<bool>(WavWriter &)> &write)
{
    auto file = OutputFile::create(path);
    if (!file.ok())
        return file.error();
    auto wav = start(file.value());
    if (!wav.ok())
        return wav.error();
    const auto complete = write(wav.value());
    if (!complete.ok() || !complete.value())
        return complete;
    if (auto error = file.value().commit())
        return *error;
    return true;
}

Status WavWriter::append(std::span<const std::int16_t> samples)
{
    if (auto error = checkedSize(m_dataBytes / bytesPerSample, samples.size()))
        return error;
    encode(samples, m_encoded);
    if (auto error = m_file->write(m_encoded))
        return error;
    m_dataBytes += samples.size() * bytesPerSample;
    return std::nullopt;
}

Status WavWriter::writeAt(std::uint64_t first, std::span<const std::int16_t> samples) const
{
    if (auto error = checkedSize(first, samples.size()))
        return error;
    std::vector<std::byte> encoded;
    encode(samples, encoded);
    return m_file->writeAt(headerBytes + first * bytesPerSample, encoded);
}

Status WavWriter::finish()
{
    return finish(m_dataBytes / bytesPerSample);
}

Status WavWriter::finish(std::uint64_t sampleCount)
{
    if (auto error = checkedSize(0, sampleCount))
        return error;
    return m_file->writeAt(0, header(static_cast<std::uint32_t>(sampleCount * bytesPerSample)));
}

Status WavWriter::checkedSize(std::uint64_t first, std::uint64_t count) const
{
    if ((first + count) * bytesPerSample > maxDataBytes)
        return Error{m_file->targetPath() + ": it would exceed the 4 GiB size limit of a WAV file"};
    return std::nullopt;
}

} // namespace audio
