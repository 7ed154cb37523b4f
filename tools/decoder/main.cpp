// madplay.exe: the tool folder's MP3 decoder. Turns an MP3 file into the 8000 Hz, 16-bit,
// mono WAV file that the AMR encoder reads:
//
//   madplay.exe -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3
//
// The WAV file is written under a temporary name and renamed when complete. On any
// failure the decoder prints one line naming the file and the reason, removes OUTPUT.wav
// as well, so the encoder that the conversion script runs next fails instead of encoding
// the previous conversion's audio, and exits with status 1 (2 for a wrong command line,
// which removes OUTPUT.wav too when the line names it). The one exception is an output
// that is the input file itself: that is refused and left alone. Stopped by a signal, the
// decoder removes its temporary file.

#include "DecoderOptions.h"
#include "Mp3Decoder.h"
#include "OutputFile.h"
#include "Resampler.h"
#include "SameFile.h"
#include "TemporaryFiles.h"
#include "WavWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

using audio::Error;
using audio::Status;

namespace {

constexpr const char *programName = "madplay.exe";

Status decode(const DecoderOptions &options)
{
    const auto inputFailure = [&](const Error &error) {
        return Error{options.mp3Path + ": " + error.message};
    };

    auto decoder = Mp3Decoder::open(options.mp3Path);
    if (!decoder.ok())
        return inputFailure(decoder.error());
    auto resampler = Resampler::create(static_cast<double>(decoder.value().sampleRate()));
    if (!resampler.ok())
        return inputFailure(resampler.error());
    auto file = audio::OutputFile::create(options.wavPath);
    if (!file.ok())
        return file.error();
    auto wav = audio::WavWriter::start(file.value());
    if (!wav.ok())
        return wav.error();

    for (;;) {
        const auto block = decoder.value().read();
        if (!block.ok())
            return inputFailure(block.error());
        const bool ended = block.value().empty();
        const auto pcm = ended ? resampler.value().flush() : resampler.value().process(block.value());
        if (!pcm.ok())
            return inputFailure(pcm.error());
        if (ended && pcm.value().empty())
            break;
        if (auto error = wav.value().append(pcm.value()))
            return error;
    }
    if (auto error = wav.value().finish())
        return error;
    return file.value().commit();
}

// Removes the output of a failed run; what went wrong with that, for the error line.
std::optional<std::string> removeOutput(const std::string &wavPath)
{
    if (std::remove(wavPath.c_str()) != 0 && errno != ENOENT)
        return "the old " + wavPath + " could not be removed: " + std::strerror(errno);
    return std::nullopt;
}

int usage(const std::vector<std::string> &arguments)
{
    std::optional<std::string> problem;
    // A wrong command line cannot say which argument was meant as the input: the output
    // is spared when it is the same file as any of them.
    if (const auto wavPath = DecoderOptions::outputNamed(arguments)) {
        const bool namesAnInput = std::any_of(arguments.begin(), arguments.end(), [&](const std::string &argument) {
            return audio::sameFile(argument, *wavPath);
        });
        if (!namesAnInput)
            problem = removeOutput(*wavPath);
    }
    std::cerr << "usage: " << programName << " -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3\n"
              << "Decodes INPUT.mp3 to an 8000 Hz, 16-bit, mono WAV file.\n";
    if (problem)
        std::cerr << programName << ": " << *problem << '\n';
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    audio::TemporaryFiles::removeWhenStopped();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto options = DecoderOptions::parse(arguments);
    if (!options)
        return usage(arguments);
    if (audio::sameFile(options->wavPath, options->mp3Path)) {
        std::cerr << programName << ": " << options->wavPath
                  << ": the output would overwrite the input file; choose another output name\n";
        return 1;
    }
    if (auto error = decode(*options)) {
        const auto problem = removeOutput(options->wavPath);
        std::cerr << programName << ": " << error->message << (problem ? "; " + *problem : "") << '\n';
        return 1;
    }
    return 0;
}
