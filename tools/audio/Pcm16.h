#pragma once

// Float samples (full scale at +-1) to 16-bit PCM: rounded, and clipped where lossy coding
// or resampling overshoots full scale, never wrapped around. A sample that is not a
// number (garbage decoded from a damaged stream) becomes silence.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace audio {

inline std::int16_t toPcm16(float sample)
{
    const float scaled = std::nearbyint(sample * 32768.0f);
    if (std::isnan(scaled))
        return 0;
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

} // namespace audio
