#pragma once

// Decodes the runs of a surveyed MPEG audio file on one thread each (the first on the
// calling thread), each writing its samples straight to their place in the WAV file.

#include "AudioResult.h"
#include "Mp3Survey.h"
#include "SampleRuns.h"
#include "WavWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The number of 8000 Hz samples written. Nothing when a run found the file other than the
// survey did (a frame libmpg123 cannot decode, which only decoding shows): the caller then
// decodes it in one run, which reports the damage. The first run's error, if any.
audio::Result<std::optional<std::uint64_t>> decodeRuns(const std::string &path, const Mp3Survey &survey,
                                                       const std::vector<SampleRun> &runs, const audio::WavWriter &wav);
