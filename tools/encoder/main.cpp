// converter: the tool folder's AMR-NB encoder, and the decoder that lets a user listen
// to its result.
//
//   converter wav2amr IN.wav OUT.amr MODE    (MODE: MR475 MR515 MR59 MR67 MR74 MR795 MR102 MR122)
//   converter amr2wav IN.amr OUT.wav
//
// wav2amr takes PCM of 8, 16, 24 or 32 bits or float WAV of any rate and channel count,
// and mixes and resamples audio other than 8000 Hz mono 16-bit on the way (on one
// thread). 8000 Hz mono 16-bit audio it encodes on every core: it cuts the audio into one
// run per core (at most 16, none shorter than 3 s, so a file under 6 s stays in one run),
// encodes the runs side by side and joins their frames in order. The environment variable AMR_ENCODER_THREADS=N
// (1 to 16) sets the number of threads instead; with AMR_ENCODER_THREADS=1 the encoder
// streams the file through one encoder on one thread.
//
// The output is written under a temporary name and renamed when complete, so a failed
// run leaves an existing output file as it was; stopped by a signal, the converter
// removes the temporary file. An output that is the input file itself is refused.
// Failures print one line naming the file and the reason and exit with status 1 (2 for a
// wrong command line, whose first line is "converter: usage: ...").
//
// AMR_TOOL_MESSAGES=FILE in the environment appends each such line to FILE as well (see
// ToolMessages.h). When the WAV file to encode does not exist and FILE already holds a
// failure line of madplay.exe, the converter says that there is no decoded audio because
// the decoding step before failed, instead of only that the file is missing.

#include "AmrStorage.h"
#include "AmrToWav.h"
#include "FileSystemPath.h"
#include "SameFile.h"
#include "TemporaryFiles.h"
#include "ToolMessages.h"
#include "WavToAmr.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

const audio::ToolMessages messages("converter");

int usage()
{
    messages.usage("converter wav2amr IN.wav OUT.amr MODE");
    std::cerr << "                  converter amr2wav IN.amr OUT.wav\n"
              << "MODE is one of " << audio::AmrStorage::modeNames << ".\n"
              << "IN.wav holds PCM (8 to 32 bits) or float audio; other than 8000 Hz, mono, 16-bit,\n"
              << "it is mixed to mono and resampled to 8000 Hz first.\n";
    return 2;
}

// Whether the WAV file to encode is missing because the decoder before failed: a second
// reason, that the file is missing, would only hide the first.
bool decodingFailed(const std::string &wavPath)
{
    std::error_code error;
    const bool missing = !std::filesystem::exists(fileSystemPath(wavPath), error) && !error;
    return missing && audio::ToolMessages::holdFailureOf("madplay.exe");
}

} // namespace

int main(int argc, char **argv)
{
    audio::TemporaryFiles::removeWhenStopped();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool wav2amr = arguments.size() == 4 && arguments[0] == "wav2amr";
    const bool amr2wav = arguments.size() == 3 && arguments[0] == "amr2wav";
    const auto mode = wav2amr ? audio::AmrStorage::modeNamed(arguments[3]) : std::nullopt;
    if (!(wav2amr && mode) && !amr2wav)
        return usage();
    audio::Status error;
    if (sameFile(arguments[1], arguments[2]))
        error = audio::Error{arguments[2] + ": the output would overwrite the input file; choose another output name"};
    else if (wav2amr && decodingFailed(arguments[1]))
        error = audio::Error{arguments[1] + ": there is no decoded audio to encode, because the decoding step before failed"};
    else if (wav2amr)
        error = wavToAmr(arguments[1], arguments[2], *mode);
    else
        error = amrToWav(arguments[1], arguments[2]);
    if (error) {
        messages.failure(error->message);
        return 1;
    }
    return 0;
}
