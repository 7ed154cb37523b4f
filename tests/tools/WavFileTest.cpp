// The WAV reader's strictness and the WAV writer's header, on files built byte by byte.

#include "OutputFile.h"
#include "WavReader.h"
#include "WavWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
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

std::string extensible(std::uint16_t subFormat, const std::string &tail = guidTail)
{
    return format(0xFFFE, 1, 8000, 16) + littleEndian(22, 2) + littleEndian(16, 2)
           + littleEndian(0x4, 4) + littleEndian(subFormat, 2) + tail;
}

const std::string pcmFormat = chunk("fmt ", format(1, 1, 8000, 16));

std::string pcm(const std::vector<std::int16_t> &samples)
{
    std::string bytes;
    for (const std::int16_t sample : samples)
        bytes += littleEndian(static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

audio::Result<std::vector<std::int16_t>> readAll(const std::string &bytes)
{
    std::istringstream in(bytes);
    auto reader = audio::WavReader::open(in);
    if (!reader.ok())
        return reader.error();
    std::vector<std::int16_t> samples(reader.value().frameCount());
    const auto count = reader.value().read(samples);
    if (!count.ok())
        return count.error();
    samples.resize(count.value());
    return samples;
}

std::string errorOf(const std::string &bytes)
{
    const auto result = readAll(bytes);
    return result.ok() ? "(accepted)" : result.error().message;
}

const std::vector<std::int16_t> someSamples{0, 1, -1, 32767, -32768, 1234};

} // namespace

TEST(WavReader, ReadsPcmPastUnknownChunksAndTheirPadBytes)
{
    const std::string after = chunk("LIST", "odd") + chunk("fact", littleEndian(6, 4));
    for (const std::string &fmt : {pcmFormat, chunk("fmt ", extensible(1))}) {
        const auto samples = readAll(riff(chunk("JUNK", "x") + fmt + after + chunk("data", pcm(someSamples))));
        ASSERT_TRUE(samples.ok()) << samples.error().message;
        EXPECT_EQ(samples.value(), someSamples);
    }
}

TEST(WavReader, SeeksToAnySampleOfTheDataAndNoFurther)
{
    // Behind an odd chunk, so the data does not start where a plain header would end it.
    std::istringstream in(riff(chunk("LIST", "odd") + pcmFormat + chunk("data", pcm(someSamples))));
    auto reader = audio::WavReader::open(in);
    ASSERT_TRUE(reader.ok()) << reader.error().message;
    std::vector<std::int16_t> samples(someSamples.size());
    for (const std::uint32_t index : {4u, 1u, 6u, 0u}) {
        SCOPED_TRACE(index);
        ASSERT_FALSE(reader.value().seek(index));
        const auto count = reader.value().read(samples);
        ASSERT_TRUE(count.ok());
        EXPECT_EQ(std::vector(samples.begin(), samples.begin() + count.value()),
                  std::vector(someSamples.begin() + index, someSamples.end()));
    }
    const auto past = reader.value().seek(7);
    ASSERT_TRUE(past);
    EXPECT_EQ(past->message, "sample 7 is past the end of its 6 samples");
}

// The samples of `bytes` mixed to mono, or the reader's error.
audio::Result<std::vector<float>> readAllMono(const std::string &bytes)
{
    std::istringstream in(bytes);
    auto reader = audio::WavReader::open(in);
    if (!reader.ok())
        return reader.error();
    std::vector<float> samples(reader.value().frameCount() + 1);
    const auto count = reader.value().readMono(samples);
    if (!count.ok())
        return count.error();
    samples.resize(count.value());
    return samples;
}

std::string floatBytes(float value)
{
    std::uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    return littleEndian(word, 4);
}

std::string doubleBytes(double value)
{
    std::uint64_t word;
    std::memcpy(&word, &value, sizeof word);
    return littleEndian(static_cast<std::uint32_t>(word), 4) + littleEndian(static_cast<std::uint32_t>(word >> 32), 4);
}

TEST(WavReader, ReadsEveryPcmAndFloatLayoutAsMonoAtFullScale)
{
    // Two stereo frames in each layout: (+half, -quarter) and (-full, -full), whose mixes
    // are +0.125 and -1.
    struct Layout {
        const char *name;
        std::string fmt;
        std::string data;
    };
    const Layout layouts[] = {
        {"8-bit", format(1, 2, 44100, 8), std::string("\xC0\x60\x00\x00", 4)},
        {"16-bit", format(1, 2, 44100, 16), littleEndian(0x4000, 2) + littleEndian(0xE000, 2) + littleEndian(0x8000, 2)
                                                + littleEndian(0x8000, 2)},
        {"24-bit", format(1, 2, 44100, 24), littleEndian(0x400000, 3) + littleEndian(0xE00000, 3)
                                                + littleEndian(0x800000, 3) + littleEndian(0x800000, 3)},
        {"32-bit", format(1, 2, 44100, 32), littleEndian(0x40000000, 4) + littleEndian(0xE0000000, 4)
                                                + littleEndian(0x80000000, 4) + littleEndian(0x80000000, 4)},
        {"32-bit float", format(3, 2, 44100, 32), floatBytes(0.5f) + floatBytes(-0.25f) + floatBytes(-1) + floatBytes(-1)},
        {"64-bit float", format(3, 2, 44100, 64), doubleBytes(0.5) + doubleBytes(-0.25) + doubleBytes(-1) + doubleBytes(-1)},
        {"extensible 24-bit", format(0xFFFE, 2, 44100, 24) + littleEndian(22, 2) + littleEndian(20, 2)
                                  + littleEndian(0x3, 4) + littleEndian(1, 2) + guidTail,
         littleEndian(0x400000, 3) + littleEndian(0xE00000, 3) + littleEndian(0x800000, 3) + littleEndian(0x800000, 3)},
        {"extensible float", format(0xFFFE, 2, 44100, 32) + littleEndian(22, 2) + littleEndian(32, 2)
                                 + littleEndian(0x3, 4) + littleEndian(3, 2) + guidTail,
         floatBytes(0.5f) + floatBytes(-0.25f) + floatBytes(-1) + floatBytes(-1)},
    };
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.name);
        const auto samples = readAllMono(riff(chunk("fmt ", layout.fmt) + chunk("data", layout.data)));
        ASSERT_TRUE(samples.ok()) << samples.error().message;
        ASSERT_EQ(samples.value().size(), 2u);
        EXPECT_NEAR(samples.value()[0], 0.125, 1e-6);
        EXPECT_NEAR(samples.value()[1], -1, 1e-6);
    }
}

TEST(WavReader, SaysWhatItFoundWhenItCannotReadTheAudio)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {format(7, 1, 8000, 8), "mu-law"},
        {format(2, 1, 8000, 4), "MS ADPCM"},
        {format(1, 1, 8000, 12), "12-bit PCM"},
        {format(3, 1, 8000, 16), "16-bit floating-point"},
        {extensible(1, std::string(14, 'x')), "neither PCM nor float"},
        {format(1, 1, 8000, 16).substr(0, 14), "too short"},
        {format(1, 0, 8000, 16), "0 channels"},
        {format(1, 2, 8000, 16).substr(0, 12) + littleEndian(2, 2) + littleEndian(16, 2), "inconsistent"},
    };
    for (const auto &[fmt, expected] : cases) {
        const std::string message = errorOf(riff(chunk("fmt ", fmt) + chunk("data", pcm(someSamples))));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
}

TEST(WavReader, ReadsToTheEndOfTheFileWhereTheWriterCouldNotFillInTheSizes)
{
    // As written to a pipe: RIFF and data sizes of 0 or 0xFFFFFFFF, and a last frame that
    // the writer did not finish.
    for (const std::uint32_t unknown : {0u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(unknown);
        const std::string data = "data" + littleEndian(unknown, 4) + pcm(someSamples) + "x";
        for (const std::string &riffSize : {littleEndian(unknown, 4), littleEndian(4 + pcmFormat.size() + data.size(), 4)}) {
            const auto samples = readAll("RIFF" + riffSize + "WAVE" + pcmFormat + data);
            ASSERT_TRUE(samples.ok()) << samples.error().message;
            EXPECT_EQ(samples.value(), someSamples);
        }
    }
}

TEST(WavReader, RefusesFilesWhoseSizesDoNotAddUp)
{
    const std::string data = chunk("data", pcm(someSamples));
    std::string riffTooLong = riff(pcmFormat + data);
    riffTooLong[4] = static_cast<char>(riffTooLong[4] + 2);
    const std::string dataPastTheEnd = "RIFF" + littleEndian(4 + pcmFormat.size() + 8 + 4, 4) + "WAVE"
                                       + pcmFormat + "data" + littleEndian(100, 4) + pcm({1, 2});
    const std::vector<std::pair<std::string, std::string>> cases{
        {riffTooLong, "RIFF header counts"},
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
        {"", "not a WAV file"},
    };
    for (const auto &[bytes, expected] : cases) {
        const std::string message = errorOf(bytes);
        EXPECT_NE(message.find(expected), std::string::npos) << expected << " / " << message;
    }
}

TEST(WavWriter, CompletesTheHeaderForTheSamplesStreamedIntoIt)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("out.wav").toStdString();
    auto file = audio::OutputFile::create(path);
    ASSERT_TRUE(file.ok());
    auto wav = audio::WavWriter::start(file.value());
    ASSERT_TRUE(wav.ok());
    ASSERT_FALSE(wav.value().append(std::span(someSamples).first(2)));
    ASSERT_FALSE(wav.value().append(std::span(someSamples).subspan(2)));
    ASSERT_FALSE(wav.value().finish());
    ASSERT_FALSE(file.value().commit());

    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), riff(pcmFormat + chunk("data", pcm(someSamples))));
}
