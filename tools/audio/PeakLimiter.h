#pragma once

// Turns 8000 Hz float samples (full scale at +-1) into 16-bit samples without clipping. A
// loud master, mastered up to full scale, passes it after lossy decoding and resampling;
// where the signal would, a look-ahead limiter lowers it to just below full scale, and
// everywhere else the samples pass as they are, only rounded.
//
// The gain at a sample is the lowest gain any sample needs from `release` samples before
// it to `lookAhead` after it (the gain that brings a sample down to the ceiling; 1 for a
// sample below it), smoothed over the `lookAhead` samples on either side with a
// triangular window. Each gain in that smoothing is at most what the sample itself needs,
// so no output passes the ceiling. Around a peak the gain falls over the 10 ms before it,
// stays down for 15 ms after it (over the peaks of a low note, which so do not modulate
// it) and rises again over 10 ms.
//
// An output sample depends only on the input from `release + lookAhead` samples before it
// to `2 * lookAhead` after it (-25 ms to +10 ms), and on nothing before: the smoothing
// sums whole numbers, exactly. So the decoder's runs, whose resamplers warm up 50 ms
// before their cuts and run on 50 ms after, limit as one run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace audio {

class PeakLimiter {
public:
    PeakLimiter();

    static constexpr std::size_t lookAhead = 40; // 5 ms
    static constexpr std::size_t release = 160;  // 20 ms
    // The loudest output: one step below full scale, so that no sample is at full scale.
    static constexpr float ceiling = 32766.0f / 32768.0f;

    // Appends to `output` the samples that are complete after `input`: they lag it by
    // 2 * lookAhead samples.
    void limit(std::span<const float> input, std::vector<std::int16_t> &output);
    // Appends the rest, once the input has ended.
    void finish(std::vector<std::int16_t> &output);

private:
    // Rings indexed by sample number, long enough for the reach back of what they hold.
    static constexpr std::size_t ring = 128;
    static constexpr std::size_t neededRing = 256;
    static_assert(ring > 2 * lookAhead && neededRing > release + lookAhead);

    // Takes input sample number m_taken, and hands out the one 2 * lookAhead before it.
    void take(float sample, std::vector<std::int16_t> &output);

    std::uint64_t m_taken = 0;
    // The samples not yet handed out.
    std::array<float, ring> m_samples{};
    // For each sample, the lowest gain needed from release + lookAhead samples before it
    // to it, in steps of 2^-24; and its sum over lookAhead + 1 samples up to it, whose sum
    // over lookAhead + 1 samples again is the triangular smoothing.
    std::array<std::int64_t, ring> m_lowest{};
    std::array<std::int64_t, ring> m_boxed{};
    std::int64_t m_boxSum = 0;
    std::int64_t m_triangleSum = 0;
    // The gains needed within reach of the next lowest gain: ascending, each with its
    // sample number, so that the first is the lowest; from m_neededFirst to m_neededEnd.
    std::array<std::pair<std::uint64_t, float>, neededRing> m_needed{};
    std::uint64_t m_neededFirst = 0;
    std::uint64_t m_neededEnd = 0;
};

} // namespace audio
