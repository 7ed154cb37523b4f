// The WAV reader's strictness and the WAV writer's header, on files built byte by byte.

#include "OutputFile.h"
#include "WavReader.h"
#include "WavWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    std::vector<std::int16_t> samples(reader.value().sampleCount());
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

TEST(WavReader, SaysWhatItFoundWhenTheAudioIsNotEightKilohertzMonoPcm)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {format(1, 2, 44100, 16), "44100 Hz, 2 channels, 16-bit"},
        {format(1, 1, 8000, 8), "8000 Hz, 1 channel, 8-bit"},
        {format(1, 1, 16000, 16), "16000 Hz, 1 channel, 16-bit"},
        {format(3, 1, 8000, 32), "IEEE floating-point"},
        {format(7, 1, 8000, 8), "mu-law"},
        {extensible(3), "IEEE floating-point"},
        {extensible(1, std::string(14, 'x')), "sub-format that is not PCM"},
        {format(1, 1, 8000, 16).substr(0, 14), "too short"},
    };
    for (const auto &[fmt, expected] : cases) {
        const std::string message = errorOf(riff(chunk("fmt ", fmt) + chunk("data", pcm(someSamples))));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
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
