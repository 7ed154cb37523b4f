// madplay.exe: the tool folder's decoder. Turns an MP3 file (or a file of another audio or
// video format, told by its content) into the 8000 Hz, 16-bit, mono WAV file that the AMR
// encoder reads:
//
//   madplay.exe -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3
//
// Damage that could be skipped (junk in the stream, a cut-off end, a LAME header that
// disagrees with the stream, a change of rate or channels) gets one warning line per kind,
// naming the file, and the audio that could be decoded is written: the exit status is 0.
//
// The WAV file is written under a temporary name and renamed when complete. On any
// failure the decoder prints one line naming the file and the reason and exits with
// status 1; OUTPUT.wav is then removed when it is a WAV file the decoder would have
// replaced, so that the encoder the conversion script runs next fails instead of encoding
// the previous conversion's audio (anything else there stays, see StaleWav.h). A wrong
// command line (exit status 2) and an output that is the input file itself leave every
// file as it was. Stopped by a signal, the decoder removes its temporary file.
//
// AMR_TOOL_MESSAGES=FILE in the environment appends each line the decoder prints for the
// user (failures, warnings, and the first line of the usage, "madplay.exe: usage: ...")
// to FILE as well; see ToolMessages.h.

#include "AudioInput.h"
#include "ContinuousResampler.h"
#include "DecodeRuns.h"
#include "DecoderOptions.h"
#include "Mp3Survey.h"
#include "SameFile.h"
#include "SampleRuns.h"
#include "StaleWav.h"
#include "TemporaryFiles.h"
#include "ThreadCount.h"
#include "ToolMessages.h"
#include "WavWriter.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

using audio::Error;
using audio::Status;

namespace {

const audio::ToolMessages messages("madplay.exe");

// Decodes an MPEG audio file in runs side by side, when it is long enough for more than
// one run on `threads` threads and free of damage: whether it did.
audio::Result<bool> decodeInRuns(const DecoderOptions &options, unsigned threads)
{
    if (threads == 1)
        return false;
    const auto survey = Mp3Survey::of(options.mp3Path);
    if (!survey)
        return false;
    const auto runs = cutIntoSampleRuns(survey->samples(), static_cast<int>(survey->format().sampleRate), threads);
    if (runs.size() == 1)
        return false;
    return audio::WavWriter::writeFile(options.wavPath, [&](audio::WavWriter &wav) -> audio::Result<bool> {
        const auto samples = decodeRuns(options.mp3Path, *survey, runs, wav);
        if (!samples.ok())
            return samples.error();
        // Damage only decoding shows: the file is decoded in one run, which reports it.
        if (!samples.value())
            return false;
        if (auto error = wav.finish(*samples.value()))
            return *error;
        return true;
    });
}

// A failure of the input's, which names it.
Error inputFailure(const DecoderOptions &options, const Error &error)
{
    return Error{options.mp3Path + ": " + error.message};
}

// Decodes all of `source` in one run into `wav`, which is then complete.
audio::Result<bool> decodeInOneRun(AudioSource &source, const DecoderOptions &options, audio::WavWriter &wav)
{
    ContinuousResampler resampler;
    for (;;) {
        const auto block = source.read();
        if (!block.ok())
            return inputFailure(options, block.error());
        if (block.value().samples.empty())
            break;
        const auto pcm = resampler.process(block.value().samples, block.value().sampleRate);
        if (!pcm.ok())
            return inputFailure(options, pcm.error());
        if (auto error = wav.append(pcm.value()))
            return *error;
    }
    const auto rest = resampler.finish();
    if (!rest.ok())
        return inputFailure(options, rest.error());
    if (auto error = wav.append(rest.value()))
        return *error;
    if (auto error = wav.finish())
        return *error;
    return true;
}

Status decode(const DecoderOptions &options)
{
    const auto threads = audio::threadCount("AMR_DECODER_THREADS");
    if (!threads.ok())
        return threads.error();
    const auto inRuns = decodeInRuns(options, threads.value());
    if (!inRuns.ok())
        return inRuns.error();
    if (inRuns.value())
        return std::nullopt;

    auto source = openAudioFile(options.mp3Path);
    if (!source.ok())
        return inputFailure(options, source.error());
    const auto written = audio::WavWriter::writeFile(options.wavPath, [&](audio::WavWriter &wav) {
        return decodeInOneRun(*source.value(), options, wav);
    });
    if (!written.ok())
        return written.error();
    for (const std::string &warning : source.value()->warnings())
        messages.warning(options.mp3Path + ": " + warning);
    return std::nullopt;
}

int usage()
{
    messages.usage("madplay.exe -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3");
    std::cerr << "Decodes INPUT.mp3 to an 8000 Hz, 16-bit, mono WAV file.\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    audio::TemporaryFiles::removeWhenStopped();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto options = DecoderOptions::parse(arguments);
    if (!options)
        return usage();
    if (sameFile(options->wavPath, options->mp3Path)) {
        messages.failure(options->wavPath + ": the output would overwrite the input file; choose another output name");
        return 1;
    }
    if (auto error = decode(*options)) {
        const auto problem = removeStaleWav(options->wavPath);
        messages.failure(error->message + (problem ? "; " + *problem : ""));
        return 1;
    }
    return 0;
}
