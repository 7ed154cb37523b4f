// madplay.exe: the tool folder's MP3 decoder. Turns an MP3 file into the 8000 Hz, 16-bit,
// mono WAV file that the AMR encoder reads:
//
//   madplay.exe -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3
//
// The WAV file is written under a temporary name and renamed when complete. On any
// failure the decoder prints one line naming the file and the reason, removes OUTPUT.wav
// as well, so the encoder that the conversion script runs next fails instead of encoding
// the previous conversion's audio, and exits with status 1 (2 for a wrong command line).

#include "DecoderOptions.h"
#include "Mp3Decoder.h"
#include "OutputFile.h"
#include "Resampler.h"
#include "WavWriter.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include <unistd.h>

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

} // namespace

int main(int argc, char **argv)
{
    const auto options = DecoderOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::cerr << "usage: " << programName << " -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3\n"
                  << "Decodes INPUT.mp3 to an 8000 Hz, 16-bit, mono WAV file.\n";
        return 2;
    }
    if (auto error = decode(*options)) {
        std::string message = error->message;
        if (unlink(options->wavPath.c_str()) != 0 && errno != ENOENT) {
            message += "; the old " + options->wavPath + " could not be removed either: "
                       + std::strerror(errno);
        }
        std::cerr << programName << ": " << message << '\n';
        return 1;
    }
    return 0;
}
