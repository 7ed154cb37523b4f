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
#include "InputFile.h"
#include "OutputFile.h"
#include "ThreadCount.h"
#include "WavReader.h"

using audio::Error;

audio::Status wavToAmr(const std::string &wavPath, const std::string &amrPath, int mode)
{
    auto input = InputFile<audio::WavReader>::open(wavPath);
    if (!input.ok())
        return input.error();
    audio::WavReader &wav = input.value().reader();
    const std::uint64_t samples = wav.frameCount();
    if (samples == 0)
        return input.value().failure(Error{"it holds no audio"});
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

    if (!wav.format().isEncoderNative()) {
        if (auto error = encodeResampled(wav, mode, write))
            return input.value().failure(*error);
        return file.value().commit();
    }

    constexpr auto samplesPerFrame = audio::AmrStorage::samplesPerFrame;
    const auto frames = (samples + samplesPerFrame - 1) / samplesPerFrame;
    if (frames > 0xFFFFFFFFu)
        return input.value().failure(Error{"it is too long to encode"});
    const auto runs = cutIntoRuns(static_cast<std::uint32_t>(frames), threads.value());
    const auto error = runs.size() == 1 ? encodeRun(wavPath, runs.front(), mode, write)
                                        : encodeRuns(wavPath, runs, mode, amr.value());
    if (error)
        return error;
    return file.value().commit();
}
