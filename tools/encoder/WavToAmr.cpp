// Checks the WAV file. Audio the encoder takes as it is is cut into runs, whose frames go
// straight into the file: in order when there is one run, each run's at their place when
// there are more. Other audio is mixed and resampled on the way, in one run.

#include "WavToAmr.h"

#include "AmrStorage.h"
#include "AmrWriter.h"
#include "EncodeResampled.h"
#include "EncodeRun.h"
#include "EncodeRuns.h"
#include "FrameRuns.h"
#include "OutputFile.h"
#include "ThreadCount.h"
#include "WavReader.h"

#include <fstream>

using audio::Error;

audio::Status wavToAmr(const std::string &wavPath, const std::string &amrPath, int mode)
{
    const auto inputFailure = [&](const std::string &reason) {
        return Error{wavPath + ": " + reason};
    };
    std::ifstream in(wavPath, std::ios::binary);
    if (!in)
        return inputFailure("cannot open it");
    auto wav = audio::WavReader::open(in);
    if (!wav.ok())
        return inputFailure(wav.error().message);
    const std::uint64_t samples = wav.value().frameCount();
    if (samples == 0)
        return inputFailure("it holds no audio");
    const auto threads = audio::threadCount("AMR_ENCODER_THREADS");
    if (!threads.ok())
        return threads.error();

    auto file = audio::OutputFile::create(amrPath);
    if (!file.ok())
        return file.error();
    auto amr = audio::AmrWriter::start(file.value());
    if (!amr.ok())
        return amr.error();
    const auto write = [&](std::span<const std::uint8_t> frame) { return amr.value().write(frame); };

    if (!wav.value().format().isEncoderNative()) {
        if (auto error = encodeResampled(wav.value(), mode, write))
            return Error{wavPath + ": " + error->message};
        return file.value().commit();
    }

    constexpr auto samplesPerFrame = audio::AmrStorage::samplesPerFrame;
    const auto frames = (samples + samplesPerFrame - 1) / samplesPerFrame;
    if (frames > 0xFFFFFFFFu)
        return inputFailure("it is too long to encode");
    const auto runs = cutIntoRuns(static_cast<std::uint32_t>(frames), threads.value());
    const auto error = runs.size() == 1 ? encodeRun(wavPath, runs.front(), mode, write)
                                        : encodeRuns(wavPath, runs, mode, amr.value());
    if (error)
        return error;
    return file.value().commit();
}
