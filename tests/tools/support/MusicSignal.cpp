// Additive synthesis of a few voices with plucked envelopes, plus seeded noise.

#include "MusicSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace {

constexpr double sampleRate = 8000;
constexpr double pi = std::numbers::pi;

// The samples must come out the same on every x86-64 processor, since tests pin the
// encoder's bytes for them. The C library's sin and exp pick their code by processor and
// may differ in the last bit; only the basic operations and rounding, which IEEE 754
// defines exactly, are used here.

// sin(x) by its Taylor series, whose terms fall below 1e-16 by x^21 within [-pi/2, pi/2].
double sine(double x)
{
    x -= 2 * pi * std::nearbyint(x / (2 * pi));
    x = x > pi / 2 ? pi - x : x < -pi / 2 ? -pi - x : x;
    double term = x, sum = x;
    for (int n = 3; n <= 21; n += 2) {
        term *= -x * x / (n * (n - 1));
        sum += term;
    }
    return sum;
}

struct Note {
    double hertz;
    double seconds;
};

// Uneven lengths, so note changes do not fall on a regular grid.
constexpr Note melody[] = {{523.25, 0.43}, {659.26, 0.29}, {783.99, 0.61}, {698.46, 0.37},
                           {587.33, 0.52}, {523.25, 0.31}, {493.88, 0.47}, {587.33, 0.66},
                           {783.99, 0.33}, {880.00, 0.41}, {659.26, 0.58}, {392.00, 0.39}};
// The bass stays above 140 Hz: the encoder's input high-pass filter (80 Hz) weakens and
// shifts lower notes, and that loss would swamp the coding noise the tests compare.
constexpr Note bass[] = {{196.00, 1.13}, {164.81, 0.97}, {174.61, 1.21}, {146.83, 0.89}, {220.00, 1.07}};
constexpr double chord[] = {261.63, 329.63, 392.00};

// A voice playing `notes` over and over, plucked: each note with `harmonics` harmonics
// below the band's top, a 10 ms attack and a decay that halves it in 1 / `decay` s.
double voice(std::span<const Note> notes, double time, int harmonics, double decay)
{
    double loop = 0;
    for (const Note &note : notes)
        loop += note.seconds;
    double age = time - loop * std::floor(time / loop);
    std::size_t index = 0;
    while (age >= notes[index].seconds)
        age -= notes[index++].seconds;
    double value = 0;
    for (int harmonic = 1; harmonic <= harmonics && harmonic * notes[index].hertz < 3800; ++harmonic)
        value += sine(2 * pi * harmonic * notes[index].hertz * age) / harmonic;
    return std::min(age / 0.01, 1.0) / (1 + decay * age) * value;
}

} // namespace

std::vector<std::int16_t> musicSignal(double seconds)
{
    std::uint64_t noise = 0x9E3779B97F4A7C15ULL; // xorshift64: the same numbers everywhere
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double time = i / sampleRate;
        noise ^= noise << 13;
        noise ^= noise >> 7;
        noise ^= noise << 17;
        double pad = 0;
        for (const double hertz : chord)
            pad += sine(2 * pi * hertz * time);
        const double value = 0.30 * voice(melody, time, 5, 2.5) + 0.25 * voice(bass, time, 3, 1.5) + 0.04 * pad
                             + 0.02 * (static_cast<double>(noise >> 11) / static_cast<double>(1ULL << 52) - 1);
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
    return samples;
}
