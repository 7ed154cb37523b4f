#pragma once

// How converter wav2amr cuts a file's frames into runs that encode side by side. The
// runs are of equal length and follow each other without a gap; each but the first
// starts its encoder a second of audio before its cut, so that the encoder's filters,
// predictors and past excitation have settled by the first frame it keeps. Inputs too
// short for runs of a few seconds each stay in one run.

#include <cstdint>
#include <vector>

struct FrameRun {
    std::uint32_t warmUpFrom; // the first frame encoded
    std::uint32_t from;       // the first frame kept
    std::uint32_t to;         // one past the last frame kept
};

inline constexpr std::uint32_t warmUpFrames = 50;     // 1 s
inline constexpr std::uint32_t minimumRunFrames = 150; // 3 s

// Cuts frames 0 to frameCount into at most `threads` (at least 1) runs.
std::vector<FrameRun> cutIntoRuns(std::uint32_t frameCount, unsigned threads);
