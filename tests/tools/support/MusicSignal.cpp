// Additive synthesis of a few voices with plucked envelopes, plus seeded noise.

#include "MusicSignal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double sampleRate = 8000;

// The samples must come out the same on every x86-64 processor, since tests pin the
// encoder's bytes for them. The C library's sin, exp and pow pick their code by processor
// and may differ in the last bit, which the phase accumulates into flipped samples; the
// functions below use only the basic operations and rounding to an integer, which IEEE 754
// defines exactly.

// sin(x), to within a few units in the last place.
double sine(double x)
{
    constexpr double pi = std::numbers::pi;
    x -= 2 * pi * std::nearbyint(x / (2 * pi)); // into [-pi, pi]
    if (x > pi / 2)
        x = pi - x;
    else if (x < -pi / 2)
        x = -pi - x;
    // Taylor series; within [-pi/2, pi/2] its terms fall below 1e-16 by x^21.
    double term = x;
    double sum = x;
    for (int n = 3; n <= 21; n += 2) {
        term *= -x * x / (n * (n - 1));
        sum += term;
    }
    return sum;
}

// e^x for x <= 0 down to about -10, as the square of the square ... of e^(x/16).
double exponential(double x)
{
    const double small = x / 16;
    double term = 1;
    double sum = 1;
    for (int n = 1; n <= 12; ++n) {
        term *= small / n;
        sum += term;
    }
    for (int i = 0; i < 4; ++i)
        sum *= sum;
    return sum;
}

struct Note {
    int key;         // MIDI key number; 69 is A4 at 440 Hz
    double seconds;
};

// Uneven lengths, so note changes do not fall on a regular grid.
constexpr std::array<Note, 12> melody{{
    {72, 0.43}, {76, 0.29}, {79, 0.61}, {77, 0.37}, {74, 0.52}, {72, 0.31},
    {71, 0.47}, {74, 0.66}, {79, 0.33}, {81, 0.41}, {76, 0.58}, {67, 0.39},
}};
// The bass stays above 140 Hz: the encoder's input high-pass filter (80 Hz) weakens and
// shifts lower notes, and that loss would swamp the coding noise the tests compare.
constexpr std::array<Note, 5> bass{{{55, 1.13}, {52, 0.97}, {53, 1.21}, {50, 0.89}, {57, 1.07}}};
constexpr std::array<int, 3> chord{60, 64, 67};

// Equal temperament from A4 = 440 Hz, a semitone at a time.
double frequencyOf(int key)
{
    constexpr double semitone = 1.0594630943592953; // 2^(1/12)
    double frequency = 440;
    for (int k = 69; k < key; ++k)
        frequency *= semitone;
    for (int k = 69; k > key; --k)
        frequency /= semitone;
    return frequency;
}

// Follows a looping note sequence and sounds it with a few harmonics, a quick attack
// and an exponential decay; vibrato bends the pitch of every note.
template <std::size_t N>
class Voice {
public:
    Voice(const std::array<Note, N> &notes, int harmonics, double decayPerSecond,
          double vibratoDepth)
        : m_notes(notes), m_harmonics(harmonics), m_decay(decayPerSecond), m_vibratoDepth(vibratoDepth)
    {
    }

    double next()
    {
        const double time = m_sample / sampleRate;
        const double sinceOnset = time - m_onset;
        if (sinceOnset >= m_notes[m_index].seconds) {
            m_onset += m_notes[m_index].seconds;
            m_index = (m_index + 1) % N;
        }
        const double vibrato = 1 + m_vibratoDepth * sine(2 * std::numbers::pi * 5.5 * time);
        const double frequency = frequencyOf(m_notes[m_index].key);
        m_phase += 2 * std::numbers::pi * frequency * vibrato / sampleRate;
        const double age = time - m_onset;
        const double envelope = std::min(age / 0.01, 1.0) * exponential(-m_decay * age);
        double value = 0;
        // Harmonics stay below the band's top, as they would after resampling to 8000 Hz.
        for (int harmonic = 1; harmonic <= m_harmonics && harmonic * frequency < 3800; ++harmonic)
            value += sine(harmonic * m_phase) / harmonic;
        ++m_sample;
        return envelope * value;
    }

private:
    const std::array<Note, N> &m_notes;
    int m_harmonics;
    double m_decay;
    double m_vibratoDepth;
    std::size_t m_index = 0;
    double m_onset = 0;
    double m_phase = 0;
    std::uint64_t m_sample = 0;
};

// xorshift64: the same numbers on every platform.
class Noise {
public:
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53) * 2 - 1;
    }

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ULL;
};

} // namespace

std::vector<std::int16_t> musicSignal(double seconds)
{
    Voice lead(melody, 5, 2.5, 0.006);
    Voice low(bass, 3, 1.5, 0.003);
    Noise noise;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double time = i / sampleRate;
        double pad = 0;
        for (const int key : chord)
            pad += sine(2 * std::numbers::pi * frequencyOf(key) * time);
        const double value = 0.30 * lead.next() + 0.25 * low.next() + 0.04 * pad + 0.02 * noise.next();
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
    return samples;
}
