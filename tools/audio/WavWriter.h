#pragma once

// Writes 8000 Hz, 16-bit, mono PCM WAV, the only format the tool folder's programs
// exchange. Samples are streamed into the file; the header's sizes are filled in by
// finish(), once the length is known.

#include "AudioResult.h"
#include "OutputFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <span>
#include <vector>

namespace audio {

class WavWriter {
public:
    // Writes the header, with sizes still to be filled in, to `file`.
    static Result<WavWriter> start(OutputFile &file);
    // Writes the WAV file at `path` under a temporary name, its audio from `write`, and
    // puts it in place when `write` says that it is complete; otherwise the temporary
    // file goes. Whether it was put in place.
    static Result<bool> writeFile(const std::string &path, const std::function<Result<bool>(WavWriter &)> &write);

    Status append(std::span<const std::int16_t> samples);
    // Writes `samples` as the audio from sample `first` on, in any order and from several
    // threads at once (for runs decoded side by side).
    Status writeAt(std::uint64_t first, std::span<const std::int16_t> samples) const;
    // Fills in the header's sizes, for the samples appended or for `sampleCount` samples
    // written with writeAt. The caller then commits the file.
    Status finish();
    Status finish(std::uint64_t sampleCount);

private:
    explicit WavWriter(OutputFile &file) : m_file(&file) {}
    // An error when samples up to `first` + `count` would not fit in a WAV file.
    Status checkedSize(std::uint64_t first, std::uint64_t count) const;

    OutputFile *m_file;
    std::uint64_t m_dataBytes = 0;
    std::vector<std::byte> m_encoded;
};

} // namespace audio
