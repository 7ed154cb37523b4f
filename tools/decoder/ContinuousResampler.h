#pragma once

// Turns mono float audio at any sample rate into one continuous 8000 Hz, 16-bit stream
// (kept below full scale by a PeakLimiter),
// also when the input's rate changes on the way (as in files joined from different
// sources). Each stretch of one rate gets a resampler of its own (libsoxr, very high
// quality); where the rate changes, the old resampler is run out over a little silence
// and the new one is started on a little silence, both on the same 8000 Hz grid, and the
// two overlapping ends are added. The filters' ringing at the join then cancels as it
// would in one resampler, instead of leaving a click.

#include "AudioResult.h"
#include "PeakLimiter.h"
#include "Resampler.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class ContinuousResampler {
public:
    // The samples that are complete after `input`, which is at `sampleRate`; valid until
    // the next call. The last few hundred samples wait for the next call, in case the
    // rate changes.
    audio::Result<std::span<const std::int16_t>> process(std::span<const float> input, int sampleRate);

    // Everything left, once the input has ended.
    audio::Result<std::span<const std::int16_t>> finish();

private:
    audio::Status startStretch(int sampleRate);
    audio::Status feed(std::span<const float> input);
    audio::Status runOut();
    void add(std::span<const float> output);
    // Limits all pending output but the last `keep` samples into m_pcm.
    void handOut(std::size_t keep);

    std::optional<audio::Resampler> m_resampler;
    int m_sampleRate = 0;
    std::int64_t m_origin = 0;        // where the stretch's first output goes, counted from the start
    std::int64_t m_stretchOutput = 0; // what the stretch's resampler has given so far
    std::uint64_t m_stretchInput = 0; // what it has been fed, its lead-in included
    std::vector<float> m_pending;     // output not yet handed out, from m_pendingStart on
    std::int64_t m_pendingStart = 0;
    audio::PeakLimiter m_limiter;
    std::vector<std::int16_t> m_pcm;
};
