#pragma once

// How the decoder cuts a stream's samples (those left after the gapless cuts, at the
// stream's rate) into runs that decode side by side. A run keeps the 8000 Hz output of its
// samples; it starts its resampler a little earlier and runs it a little later, so that
// the filter has the samples around the cut on both sides and the runs join as one
// resampling would. Every cut falls where a whole number of input samples gives a whole
// number of output samples, so that each run's resampler has the phase one resampler would
// have there. Streams too short for runs of a few seconds each stay in one run.

#include <cstdint>
#include <vector>

struct SampleRun {
    std::uint64_t warmUpFrom; // the first sample resampled
    std::uint64_t from;       // the first sample whose output is kept
    std::uint64_t to;         // one past the last sample whose output is kept
    std::uint64_t runOutTo;   // one past the last sample resampled
};

inline constexpr double minimumRunSeconds = 3;
// More than the reach of the resampling filter (20 ms at 8000 Hz) and the peak limiter's
// reach back (25 ms) together.
inline constexpr double warmUpSeconds = 0.05;

// Cuts samples 0 to `sampleCount`, at `sampleRate`, into at most `threads` (at least 1) runs.
std::vector<SampleRun> cutIntoSampleRuns(std::uint64_t sampleCount, int sampleRate, unsigned threads);

// The input samples at `sampleRate` that give a whole number of output samples: a cut
// falls on a multiple of it.
std::uint64_t inputPeriod(int sampleRate);

// The output sample that input sample `sample` (a multiple of inputPeriod) becomes.
std::uint64_t outputSampleAt(std::uint64_t sample, int sampleRate);
