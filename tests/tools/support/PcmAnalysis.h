#pragma once

// Reads and writes the 8000 Hz, 16-bit, mono audio the tools exchange and measures it:
// the level of a tone, the level of everything. Levels are relative to full scale.

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <span>
#include <vector>

// The samples of a WAV file, through the tools' own reader; a test failure if it refuses.
std::vector<std::int16_t> readPcm(const QString &wavPath);

// The samples of a WAV file of any layout, mixed to mono, at full scale +-1 and unclipped
// where they are float.
std::vector<float> readMonoFloat(const QString &wavPath);

// Writes the samples as a WAV file, through the tools' own writer; a test failure if it fails.
void writePcm(const QString &wavPath, std::span<const std::int16_t> samples);

// A tenth of a second of a WAV file, as the previous conversion leaves at the decoder's
// output: stale audio, which a failed decoding removes.
void writePreviousAudio(const QString &wavPath);

// The samples from `fromSeconds` to `toSeconds` at 8000 Hz.
std::span<const std::int16_t> between(const std::vector<std::int16_t> &samples,
                                      double fromSeconds, double toSeconds);

// The peak amplitude of the sine at `frequency` (Goertzel).
double toneAmplitude(std::span<const std::int16_t> samples, double frequency);

// Expects 1 kHz at `amplitude` (within 1 dB) from `from` to `to` seconds, holding at least
// `share` of the energy there: the tone came through at its level and its rate.
void expectTone(const std::vector<std::int16_t> &samples, double from, double to, double amplitude,
                double share = 0.98);

// Expects as many samples as `reference` within 1 %, and never closer than 70 ms.
void expectLengthNear(std::size_t samples, qint64 reference);

// The root-mean-square level.
double rmsLevel(std::span<const std::int16_t> samples);

double decibels(double ratio);

// The mean over 20 ms segments of each segment's signal-to-noise ratio in dB, clamped to
// [-10, 35] as usual so that near-silent and near-perfect segments do not dominate.
// `decoded` is compared from `lag` on with `reference` from its start.
double segmentalSnr(std::span<const std::int16_t> reference, std::span<const std::int16_t> decoded,
                    std::size_t lag);

// How many samples `decoded` lags `reference` by, up to `maxLag`: where the segmental SNR
// is highest.
std::size_t lagBetween(std::span<const std::int16_t> reference, std::span<const std::int16_t> decoded,
                       std::size_t maxLag);
