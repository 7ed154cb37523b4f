// Tone and level measurements on 8000 Hz PCM.

#include "PcmAnalysis.h"

#include "OutputFile.h"
#include "WavReader.h"
#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

#include <gtest/gtest.h>

namespace {

constexpr double sampleRate = 8000;
constexpr double fullScale = 32768;

// Every sample of `wavPath`, as `read` (a WavReader's read or readMono) gives them.
template <typename Sample, typename Read>
std::vector<Sample> readAll(const QString &wavPath, Read read)
{
    std::ifstream in(wavPath.toStdString(), std::ios::binary);
    if (!in) {
        ADD_FAILURE() << wavPath.toStdString() << ": cannot open it";
        return {};
    }
    auto reader = audio::WavReader::open(in);
    if (!reader.ok()) {
        ADD_FAILURE() << wavPath.toStdString() << ": " << reader.error().message;
        return {};
    }
    std::vector<Sample> samples(reader.value().frameCount());
    const auto count = read(reader.value(), std::span(samples));
    if (!count.ok() || count.value() != samples.size())
        ADD_FAILURE() << wavPath.toStdString() << ": cannot read all samples";
    return samples;
}

} // namespace

std::vector<std::int16_t> readPcm(const QString &wavPath)
{
    return readAll<std::int16_t>(wavPath, [](audio::WavReader &wav, std::span<std::int16_t> samples) { return wav.read(samples); });
}

std::vector<float> readMonoFloat(const QString &wavPath)
{
    return readAll<float>(wavPath, [](audio::WavReader &wav, std::span<float> samples) { return wav.readMono(samples); });
}

void writePcm(const QString &wavPath, std::span<const std::int16_t> samples)
{
    auto file = audio::OutputFile::create(wavPath.toStdString());
    ASSERT_TRUE(file.ok()) << file.error().message;
    auto wav = audio::WavWriter::start(file.value());
    ASSERT_TRUE(wav.ok()) << wav.error().message;
    ASSERT_FALSE(wav.value().append(samples));
    ASSERT_FALSE(wav.value().finish());
    ASSERT_FALSE(file.value().commit());
}

void writePreviousAudio(const QString &wavPath)
{
    writePcm(wavPath, std::vector<std::int16_t>(800, 1000));
}

std::span<const std::int16_t> between(const std::vector<std::int16_t> &samples,
                                      double fromSeconds, double toSeconds)
{
    const auto index = [&](double seconds) {
        return std::min(samples.size(), static_cast<std::size_t>(seconds * sampleRate));
    };
    const std::size_t from = index(fromSeconds);
    return std::span(samples).subspan(from, index(toSeconds) - from);
}

double toneAmplitude(std::span<const std::int16_t> samples, double frequency)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double previous = 0;
    double beforePrevious = 0;
    for (const std::int16_t sample : samples) {
        const double current = sample / fullScale + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious
                         - coefficient * previous * beforePrevious;
    return samples.empty() ? 0 : 2 * std::sqrt(std::max(power, 0.0)) / samples.size();
}

void expectTone(const std::vector<std::int16_t> &samples, double from, double to, double amplitude, double share)
{
    SCOPED_TRACE("the tone from " + std::to_string(from) + " s to " + std::to_string(to) + " s");
    const auto part = between(samples, from, to);
    const double level = toneAmplitude(part, 1000);
    EXPECT_NEAR(decibels(level / amplitude), 0, 1.0) << "level " << level;
    EXPECT_GT(level * level / 2, share * rmsLevel(part) * rmsLevel(part));
}

void expectLengthNear(std::size_t samples, qint64 reference)
{
    ASSERT_GT(reference, 0) << "ffmpeg could not decode it";
    const double slack = std::max(0.01 * static_cast<double>(reference), 0.070 * 8000);
    EXPECT_NEAR(static_cast<double>(samples), static_cast<double>(reference), slack);
}

double rmsLevel(std::span<const std::int16_t> samples)
{
    double sum = 0;
    for (const std::int16_t sample : samples)
        sum += (sample / fullScale) * (sample / fullScale);
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

double decibels(double ratio) { return 20 * std::log10(ratio); }

double segmentalSnr(std::span<const std::int16_t> reference, std::span<const std::int16_t> decoded,
                    std::size_t lag)
{
    constexpr std::size_t segment = 160;
    const std::size_t length = decoded.size() > lag ? std::min(reference.size(), decoded.size() - lag) : 0;
    double sum = 0;
    std::size_t segments = 0;
    for (std::size_t start = 0; start + segment <= length; start += segment, ++segments) {
        double signal = 0, noise = 0;
        for (std::size_t i = start; i < start + segment; ++i) {
            const double wanted = reference[i];
            const double error = wanted - decoded[lag + i];
            signal += wanted * wanted;
            noise += error * error;
        }
        sum += std::clamp(10 * std::log10((signal + 1) / (noise + 1)), -10.0, 35.0);
    }
    return segments == 0 ? 0 : sum / segments;
}

std::size_t lagBetween(std::span<const std::int16_t> reference, std::span<const std::int16_t> decoded,
                       std::size_t maxLag)
{
    std::size_t best = 0;
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        if (segmentalSnr(reference, decoded, lag) > segmentalSnr(reference, decoded, best))
            best = lag;
    }
    return best;
}
