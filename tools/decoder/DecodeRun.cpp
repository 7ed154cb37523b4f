// Scans from the checkpoint before the run's first frame, decodes from its priming frames
// on, and resamples and writes the samples of the run's stretch.

#include "DecodeRun.h"

#include "MpegFrameDecoder.h"
#include "MpegFrameScanner.h"
#include "PeakLimiter.h"
#include "Resampler.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <vector>

using audio::Error;

namespace {

// 8000 Hz samples a run gathers before it writes them.
constexpr std::size_t writeBlock = 4096;

// The samples a run keeps are as one run's when its warm-up and run-out reach past the
// resampling filter (20 ms at 8000 Hz) and the peak limiter (the warm-up past its reach
// back, the run-out past its shorter reach ahead).
constexpr double resamplingReach = 0.02;
static_assert(warmUpSeconds >= resamplingReach + double(audio::PeakLimiter::release + audio::PeakLimiter::lookAhead)
                                                     / audio::Resampler::outputRate);

class Run {
public:
    Run(const std::string &path, const Mp3Survey &survey, const SampleRun &run, const audio::WavWriter &wav)
        : m_path(path), m_survey(survey), m_run(run), m_wav(wav),
          m_rate(static_cast<int>(survey.format().sampleRate)),
          m_output(outputSampleAt(run.warmUpFrom, m_rate)),
          m_keepFrom(outputSampleAt(run.from, m_rate)),
          m_keepTo(run.to == survey.samples() ? std::numeric_limits<std::uint64_t>::max() : outputSampleAt(run.to, m_rate)),
          m_written(m_keepFrom)
    {
    }

    audio::Result<std::optional<std::uint64_t>> decode(const std::atomic<bool> &stop);

private:
    // Resamples the part of a decoded frame, whose first sample is `first` (counted before
    // the gapless cut at the start), that lies within the run.
    audio::Status take(std::span<const float> mono, std::uint64_t first);
    // Limits the resampler's output and keeps the part of it that is the run's own.
    audio::Status keep(std::span<const float> resampled);
    audio::Status keepLimited();
    audio::Status writeHeld();
    Error resamplingFailure(const Error &error) const { return Error{m_path + ": " + error.message}; }

    const std::string &m_path;
    const Mp3Survey &m_survey;
    const SampleRun &m_run;
    const audio::WavWriter &m_wav;
    const int m_rate;
    std::optional<audio::Resampler> m_resampler;
    audio::PeakLimiter m_limiter;
    std::vector<std::int16_t> m_limited; // the limiter's latest output
    std::uint64_t m_output;  // the output sample the limiter gives next
    const std::uint64_t m_keepFrom, m_keepTo;
    std::vector<std::int16_t> m_held; // kept, not yet written, from m_written on
    std::uint64_t m_written;
};

audio::Result<std::optional<std::uint64_t>> Run::decode(const std::atomic<bool> &stop)
{
    const MpegFrameHeader &format = m_survey.format();
    const auto samplesPerFrame = static_cast<std::uint64_t>(format.samplesPerFrame);
    const std::uint64_t startCut = m_survey.cuts().start;
    const std::uint64_t needed = (m_run.warmUpFrom + startCut) / samplesPerFrame;
    const std::uint64_t firstFrame = needed - std::min(needed, m_survey.primingFrames());
    const std::uint64_t endFrame =
        std::min(m_survey.audioFrames(), (m_run.runOutTo + startCut + samplesPerFrame - 1) / samplesPerFrame);

    auto resampler = audio::Resampler::create(m_rate);
    if (!resampler.ok())
        return resamplingFailure(resampler.error());
    m_resampler.emplace(std::move(resampler.value()));
    auto decoder = MpegFrameDecoder::create();
    if (!decoder.ok())
        return std::optional<std::uint64_t>();
    const Mp3Survey::Checkpoint checkpoint = m_survey.checkpointBefore(firstFrame);
    std::ifstream in(m_path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(checkpoint.offset));
    if (!in)
        return std::optional<std::uint64_t>();
    MpegFrameScanner scanner(in);

    std::uint64_t frameEnd = checkpoint.offset;
    for (std::uint64_t index = checkpoint.frame; index < endFrame; ++index) {
        if (stop.load(std::memory_order_relaxed))
            return std::optional<std::uint64_t>();
        const auto frame = scanner.next();
        if (!frame.ok() || !frame.value() || frame.value()->offset != frameEnd
            || !frame.value()->header.continues(format) || frame.value()->header.channels != format.channels)
            return std::optional<std::uint64_t>();
        frameEnd = frame.value()->offset + frame.value()->bytes.size();
        if (index < firstFrame)
            continue;
        if (index == firstFrame && decoder.value().start(frame.value()->header, frame.value()->bytes.size()))
            return std::optional<std::uint64_t>();
        if (decoder.value().feed(frame.value()->bytes))
            return std::optional<std::uint64_t>();
        for (;;) {
            const auto step = decoder.value().decode();
            if (step == MpegFrameDecoder::Step::needFrame)
                break;
            if (step == MpegFrameDecoder::Step::undecodable)
                return std::optional<std::uint64_t>();
            if (step == MpegFrameDecoder::Step::newFormat) {
                const auto decoded = decoder.value().format();
                if (!decoded.ok() || decoded.value().sampleRate != m_rate || decoded.value().channels != format.channels)
                    return std::optional<std::uint64_t>();
                continue;
            }
            if (auto error = take(decoder.value().mono(), index * samplesPerFrame))
                return *error;
        }
    }
    const auto rest = m_resampler->flush();
    if (!rest.ok())
        return resamplingFailure(rest.error());
    if (auto error = keep(rest.value()))
        return *error;
    m_limited.clear();
    m_limiter.finish(m_limited);
    if (auto error = keepLimited())
        return *error;
    if (auto error = writeHeld())
        return *error;
    return std::optional(std::min(m_output, m_keepTo));
}

audio::Status Run::take(std::span<const float> mono, std::uint64_t first)
{
    // The frame's samples, counted after the cut at the start, and the part of them within
    // the run's stretch.
    const auto start = static_cast<std::int64_t>(first) - static_cast<std::int64_t>(m_survey.cuts().start);
    const auto end = start + static_cast<std::int64_t>(mono.size());
    const std::int64_t from = std::max(start, static_cast<std::int64_t>(m_run.warmUpFrom));
    const std::int64_t to = std::min(end, static_cast<std::int64_t>(m_run.runOutTo));
    if (from >= to)
        return std::nullopt;
    const auto resampled = m_resampler->process(mono.subspan(static_cast<std::size_t>(from - start),
                                                             static_cast<std::size_t>(to - from)));
    if (!resampled.ok())
        return resamplingFailure(resampled.error());
    return keep(resampled.value());
}

audio::Status Run::keep(std::span<const float> resampled)
{
    m_limited.clear();
    m_limiter.limit(resampled, m_limited);
    return keepLimited();
}

audio::Status Run::keepLimited()
{
    const std::uint64_t first = m_output;
    m_output += m_limited.size();
    const std::uint64_t from = std::max(first, m_keepFrom);
    const std::uint64_t to = std::min(m_output, m_keepTo);
    if (from >= to)
        return std::nullopt;
    const auto kept = std::span(m_limited).subspan(static_cast<std::size_t>(from - first), static_cast<std::size_t>(to - from));
    m_held.insert(m_held.end(), kept.begin(), kept.end());
    return m_held.size() >= writeBlock ? writeHeld() : std::nullopt;
}

audio::Status Run::writeHeld()
{
    if (auto error = m_wav.writeAt(m_written, m_held))
        return error;
    m_written += m_held.size();
    m_held.clear();
    return std::nullopt;
}

} // namespace

audio::Result<std::optional<std::uint64_t>> decodeRun(const std::string &path, const Mp3Survey &survey,
                                                      const SampleRun &run, const audio::WavWriter &wav,
                                                      const std::atomic<bool> &stop)
{
    return Run(path, survey, run, wav).decode(stop);
}
