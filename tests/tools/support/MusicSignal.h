#pragma once

// A synthetic stand-in for music at 8000 Hz, for checking the encoder on something less
// kind than a steady tone: a plucked melody and a bass line whose notes change at
// uneven times, a held chord under them, and a little noise. Everything is computed from
// fixed tables and a seeded generator, so the same length always gives the same samples.

#include <cstdint>
#include <vector>

std::vector<std::int16_t> musicSignal(double seconds);
