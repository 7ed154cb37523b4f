// The WAV reader's strictness and the WAV writer's header, on files built byte by byte.
// The layouts sox writes (8, 16 and 24-bit PCM, 32 and 64-bit float) are read end to end
// in EncoderTest; the others are read here.

#include "PcmAnalysis.h"
#include "ToolRun.h"
#include "WavReader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <sstream>

namespace {

std::string littleEndian(std::uint32_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
}

std::string chunk(const std::string &id, const std::string &body)
{
    return id + littleEndian(body.size(), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string riff(const std::string &chunks)
{
    return "RIFF" + littleEndian(4 + chunks.size(), 4) + "WAVE" + chunks;
}

std::string format(std::uint16_t code, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    const std::uint32_t blockAlign = channels * bits / 8;
    return littleEndian(code, 2) + littleEndian(channels, 2) + littleEndian(rate, 4)
           + littleEndian(rate * blockAlign, 4) + littleEndian(blockAlign, 2) + littleEndian(bits, 2);
}

const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);

// WAVE_FORMAT_EXTENSIBLE: `validBits` of each `bits`-bit container, of the sub-format
// whose code (1 PCM, 3 float) comes before the GUID's `tail`.
std::string extensible(std::uint16_t channels, std::uint16_t bits, std::uint16_t validBits, std::uint16_t subFormat,
                       const std::string &tail = guidTail)
{
    return format(0xFFFE, channels, 8000, bits) + littleEndian(22, 2) + littleEndian(validBits, 2)
           + littleEndian(0x3, 4) + littleEndian(subFormat, 2) + tail;
}

const std::string pcmFormat = chunk("fmt ", format(1, 1, 8000, 16));

std::string pcm(const std::vector<std::int16_t> &samples)
{
    std::string bytes;
    for (const std::int16_t sample : samples)
        bytes += littleEndian(static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

// The samples of `bytes` from sample `from` on, mixed to mono, or the reader's error. The
// reader seeks to the end first, so that `from` is reached going back.
audio::Result<std::vector<float>> readAll(const std::string &bytes, std::uint64_t from = 0)
{
    std::istringstream in(bytes);
    auto reader = audio::WavReader::open(in);
    if (!reader.ok())
        return reader.error();
    for (const std::uint64_t index : {reader.value().frameCount(), from}) {
        if (auto error = reader.value().seek(index))
            return *error;
    }
    std::vector<float> samples(reader.value().frameCount() + 1);
    const auto count = reader.value().readMono(samples);
    if (!count.ok())
        return count.error();
    samples.resize(count.value());
    return samples;
}

const std::vector<std::int16_t> someSamples{0, 1, -1, 32767, -32768, 1234};

} // namespace

TEST(WavReader, ReadsAndSeeksPastOtherChunksAndToTheEndWhereAPipeLeftTheSizesOut)
{
    const std::string others = chunk("LIST", "odd") + chunk("fact", littleEndian(6, 4));
    const std::string data = chunk("data", pcm(someSamples));
    // As ffmpeg and others write to a pipe: RIFF and data sizes of 0 or 0xFFFFFFFF (or the
    // RIFF size right), and a last frame the writer did not finish.
    const std::string pipedHeader = pcmFormat + chunk("LIST", "INFO" + chunk("ISFT", "Lavf59.27.100"));
    const auto piped = [&](std::uint32_t riffSize, std::uint32_t dataSize) {
        return "RIFF" + littleEndian(riffSize, 4) + "WAVE" + pipedHeader + "data" + littleEndian(dataSize, 4)
               + pcm(someSamples) + "x";
    };
    const std::uint32_t pipedSize = 4 + pipedHeader.size() + 8 + 2 * someSamples.size() + 1;
    const std::string files[] = {
        riff(chunk("JUNK", "x") + pcmFormat + others + data),
        riff(chunk("JUNK", "x") + chunk("fmt ", extensible(1, 16, 16, 1)) + others + data),
        piped(0, 0), piped(0xFFFFFFFF, 0xFFFFFFFF), piped(pipedSize, 0), piped(pipedSize, 0xFFFFFFFF),
    };
    std::vector<float> expected;
    for (const std::int16_t sample : someSamples)
        expected.push_back(sample / 32768.0f);
    for (const std::string &file : files) {
        for (const std::size_t from : {0u, 4u, 6u}) {
            const auto samples = readAll(file, from);
            ASSERT_TRUE(samples.ok()) << samples.error().message;
            EXPECT_EQ(samples.value(), std::vector(expected.begin() + from, expected.end())) << "from " << from;
        }
        const auto past = readAll(file, 7);
        ASSERT_FALSE(past.ok());
        EXPECT_EQ(past.error().message, "sample 7 is past the end of its 6 samples");
    }
}

TEST(WavReader, ReadsWideAndExtensibleLayoutsAsMonoAtFullScale)
{
    // Two stereo frames in each layout: (+half, -quarter) and (-full, -full), whose mixes
    // are +0.125 and -1.
    const auto floatBytes = [](float value) { return littleEndian(std::bit_cast<std::uint32_t>(value), 4); };
    const std::string int24 = littleEndian(0x400000, 3) + littleEndian(0xE00000, 3) + littleEndian(0x800000, 3)
                              + littleEndian(0x800000, 3);
    const std::pair<std::string, std::string> layouts[] = {
        {format(1, 2, 44100, 32), littleEndian(0x40000000, 4) + littleEndian(0xE0000000, 4)
                                      + littleEndian(0x80000000, 4) + littleEndian(0x80000000, 4)},
        {extensible(2, 24, 20, 1), int24},
        {extensible(2, 32, 32, 3), floatBytes(0.5f) + floatBytes(-0.25f) + floatBytes(-1.0f) + floatBytes(-1.0f)},
    };
    for (const auto &[fmt, data] : layouts) {
        const auto samples = readAll(riff(chunk("fmt ", fmt) + chunk("data", data)));
        ASSERT_TRUE(samples.ok()) << samples.error().message;
        EXPECT_EQ(samples.value(), std::vector<float>({0.125f, -1.0f}));
    }
}

TEST(WavReader, RefusesWhatItCannotReadSayingWhatItFound)
{
    const std::string data = chunk("data", pcm(someSamples));
    const auto withFormat = [&](const std::string &fmt) { return riff(chunk("fmt ", fmt) + data); };
    const std::string dataPastTheEnd = "RIFF" + littleEndian(4 + pcmFormat.size() + 8 + 4, 4) + "WAVE"
                                       + pcmFormat + "data" + littleEndian(100, 4) + pcm({1, 2});
    const std::pair<std::string, std::string> cases[] = {
        {withFormat(format(2, 1, 8000, 4)), "MS ADPCM"},
        {withFormat(format(1, 1, 8000, 12)), "12-bit PCM"},
        {withFormat(format(3, 1, 8000, 16)), "16-bit floating-point"},
        {withFormat(extensible(1, 16, 16, 1, std::string(14, 'x'))), "neither PCM nor float"},
        {withFormat(format(1, 1, 8000, 16).substr(0, 14)), "too short"},
        {withFormat(format(1, 0, 8000, 16)), "0 channels"},
        {withFormat(format(1, 2, 8000, 16).substr(0, 12) + littleEndian(2, 2) + littleEndian(16, 2)), "inconsistent"},
        {riff(pcmFormat + data).substr(0, 50), "RIFF header counts"},
        {dataPastTheEnd, "past the end"},
        {riff("LIST" + littleEndian(0xFFFFFFF0u, 4) + pcmFormat + data), "past the end"},
        {riff(pcmFormat + chunk("data", "abc")), "not a whole number"},
        {riff(pcmFormat), "no data chunk"},
        {riff(chunk("LIST", "")), "no fmt chunk"},
        {riff(data + pcmFormat), "before any fmt"},
        {riff(pcmFormat + pcmFormat + data), "two fmt"},
        {"RIFX" + riff(pcmFormat + data).substr(4), "not a WAV file"},
        {"RIFF", "not a WAV file"},
    };
    for (const auto &[bytes, expected] : cases) {
        const auto result = readAll(bytes);
        ASSERT_FALSE(result.ok()) << expected;
        EXPECT_NE(result.error().message.find(expected), std::string::npos) << expected << " / " << result.error().message;
    }
}

TEST(WavWriter, WritesTheHeaderOfItsFormatAndTheSamplesAfterIt)
{
    QTemporaryDir folder;
    writePcm(folder.filePath("out.wav"), someSamples);
    EXPECT_EQ(contentsOf(folder.filePath("out.wav")).toStdString(), riff(pcmFormat + chunk("data", pcm(someSamples))));
}
