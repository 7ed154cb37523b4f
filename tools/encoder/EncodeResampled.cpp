// WAV frames to mono float, through the resampler and the peak limiter, to 16-bit frames
// of 160 samples.

#include "EncodeResampled.h"

#include "AmrEncoder.h"
#include "AmrStorage.h"
#include "PeakLimiter.h"
#include "Resampler.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t samplesPerFrame = audio::AmrStorage::samplesPerFrame;
// Sample frames read from the WAV file at a time.
constexpr std::size_t readBlock = 4096;

} // namespace

audio::Status encodeResampled(audio::WavReader &wav, int mode, const FrameSink &sink)
{
    auto resampler = audio::Resampler::create(wav.format().sampleRate);
    if (!resampler.ok())
        return resampler.error();
    auto encoder = AmrEncoder::create();
    if (!encoder.ok())
        return encoder.error();

    std::vector<std::int16_t> pending;
    // Encodes the whole frames that are pending; with `last`, the rest too, padded with silence.
    const auto encodePending = [&](bool last) -> audio::Status {
        if (last && pending.size() % samplesPerFrame != 0)
            pending.resize((pending.size() / samplesPerFrame + 1) * samplesPerFrame, 0);
        std::size_t at = 0;
        for (; at + samplesPerFrame <= pending.size(); at += samplesPerFrame) {
            const auto frame = encoder.value().encode(std::span(pending).subspan(at).first<samplesPerFrame>(), mode);
            if (!frame.ok())
                return frame.error();
            if (auto error = sink(frame.value()))
                return error;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
        return std::nullopt;
    };
    audio::PeakLimiter limiter;

    std::vector<float> block(readBlock);
    for (;;) {
        const auto count = wav.readMono(block);
        if (!count.ok())
            return count.error();
        if (count.value() == 0)
            break;
        const auto resampled = resampler.value().process(std::span(block).first(count.value()));
        if (!resampled.ok())
            return resampled.error();
        limiter.limit(resampled.value(), pending);
        if (auto error = encodePending(false))
            return error;
    }
    const auto rest = resampler.value().flush();
    if (!rest.ok())
        return rest.error();
    limiter.limit(rest.value(), pending);
    limiter.finish(pending);
    return encodePending(true);
}
