// converter: the tool folder's AMR-NB encoder, and the decoder that lets a user listen
// to its result.
//
//   converter wav2amr IN.wav OUT.amr MODE    (MODE: MR475 MR515 MR59 MR67 MR74 MR795 MR102 MR122)
//   converter amr2wav IN.amr OUT.wav
//
// wav2amr encodes on every core: it cuts the audio into one run per core (at most 16,
// none shorter than 3 s, so a file under 6 s stays in one run), encodes the runs side by
// side and joins their frames in order. The environment variable AMR_ENCODER_THREADS=N
// (1 to 16) sets the number of threads instead; with AMR_ENCODER_THREADS=1 the encoder
// streams the file through one encoder on one thread.
//
// The output is written under a temporary name and renamed when complete, so a failed
// run leaves an existing output file as it was. Failures print one line naming the file
// and the reason and exit with status 1 (2 for a wrong command line).

#include "AmrStorage.h"
#include "AmrToWav.h"
#include "WavToAmr.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char *programName = "converter";

int usage()
{
    std::cerr << "usage: " << programName << " wav2amr IN.wav OUT.amr MODE\n"
              << "       " << programName << " amr2wav IN.amr OUT.wav\n"
              << "MODE is one of " << audio::AmrStorage::modeNames << ".\n"
              << "IN.wav must be 8000 Hz, 16-bit, mono PCM.\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    audio::Status error;
    if (arguments.size() == 4 && arguments[0] == "wav2amr") {
        const auto mode = audio::AmrStorage::modeNamed(arguments[3]);
        if (!mode)
            return usage();
        error = wavToAmr(arguments[1], arguments[2], *mode);
    } else if (arguments.size() == 3 && arguments[0] == "amr2wav") {
        error = amrToWav(arguments[1], arguments[2]);
    } else {
        return usage();
    }
    if (error) {
        std::cerr << programName << ": " << error->message << '\n';
        return 1;
    }
    return 0;
}
