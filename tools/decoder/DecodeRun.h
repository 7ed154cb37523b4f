#pragma once

// Decodes one run of a surveyed MPEG audio file with a decoder and a resampler of its own,
// reading the file through a stream of its own, so that runs can decode on several threads
// at once. The run decodes its priming frames and drops what they give, resamples and
// limits from its warm-up on, and writes the 8000 Hz samples it keeps straight to their
// place in the WAV file.

#include "AudioResult.h"
#include "Mp3Survey.h"
#include "SampleRuns.h"
#include "WavWriter.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

// Where the run's output ends, in 8000 Hz samples from the start. Nothing when the file is
// not as the survey found it (it changed, or holds a frame libmpg123 cannot decode, which
// only decoding shows) or `stop` was set: the file is then decoded in one run. An error,
// naming the file, when resampling or writing fails.
audio::Result<std::optional<std::uint64_t>> decodeRun(const std::string &path, const Mp3Survey &survey,
                                                      const SampleRun &run, const audio::WavWriter &wav,
                                                      const std::atomic<bool> &stop);
