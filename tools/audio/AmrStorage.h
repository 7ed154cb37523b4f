#pragma once

// The AMR-NB storage format (RFC 4867, section 5): the file starts with "#!AMR\n" and
// holds frames of 20 ms, each a header byte followed by the speech bits of its frame
// type. The header byte is P FT(4) Q P P: the P bits are zero, FT is the frame type and
// Q is set for a good frame.

#include <cstddef>
#include <optional>
#include <string_view>

namespace audio::AmrStorage {

inline constexpr std::string_view magic = "#!AMR\n";
inline constexpr std::size_t samplesPerFrame = 160;
// The largest frame, MR122, header byte included.
inline constexpr std::size_t maxFrameBytes = 32;

// The frame type a header byte names.
constexpr int frameType(unsigned char header) { return (header >> 3) & 0x0F; }

// The size of a frame of this type, header byte included: 13 to 32 bytes for the eight
// speech modes, 6 for comfort-noise (SID) frames, 1 for frames without data. Empty for
// the types that AMR-NB leaves unused.
std::optional<std::size_t> frameBytes(int frameType);

// The speech mode (frame type 0 to 7) called `name`: "MR475" ... "MR122".
std::optional<int> modeNamed(std::string_view name);

// The eight mode names in rate order, separated by blanks, for usage messages.
inline constexpr std::string_view modeNames = "MR475 MR515 MR59 MR67 MR74 MR795 MR102 MR122";

} // namespace audio::AmrStorage
