// A stand-in for the decoder and the encoder in tests, set up by environment variables:
//
// - AMR_RECORD_LOG: appends one line to that file, holding the current folder and every
//   argument including the program's own name, separated by the unit separator 0x1F,
//   as soon as it starts;
// - AMR_RECORD_WAIT_FOR: then waits up to 30 s for that file to appear, so a test can
//   hold a conversion in the middle;
// - AMR_RECORD_FAIL: exits with status 2 at once when it runs under this file name
//   ("madplay.exe"), as a tool does on a usage error;
// - AMR_RECORD_PASS_THROUGH: otherwise passes the "audio" through as it is, so each
//   output shows which input it came from: as the decoder (-o wave:WAV INPUT) it copies
//   INPUT to WAV, as the encoder (wav2amr WAV OUTPUT MODE) WAV to OUTPUT, failing with
//   status 1 when there is nothing to copy.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

bool record(const char *log, int argc, char **argv)
{
    char folder[4096];
    std::string line = getcwd(folder, sizeof folder) ? folder : "?";
    for (int i = 0; i < argc; ++i)
        line += '\x1f' + std::string(argv[i]);
    line += '\n';
    // Appended in one write, binary, or Windows would end the line with CR LF.
    std::ofstream file(log, std::ios::app | std::ios::binary);
    file << line << std::flush;
    return file.good();
}

void waitFor(const char *path)
{
    for (int i = 0; i < 600 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

int copy(const std::string &from, const std::string &to)
{
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        std::fprintf(stderr, "stand-in: cannot copy %s to %s: %s\n", from.c_str(), to.c_str(), error.message().c_str());
    return error ? 1 : 0;
}

int passThrough(const std::vector<std::string> &arguments)
{
    if (arguments.size() == 4 && arguments[0] == "wav2amr")
        return copy(arguments[1], arguments[2]);
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-o" && arguments[i + 1].starts_with("wave:"))
            return copy(arguments.back(), arguments[i + 1].substr(5));
    }
    std::fprintf(stderr, "stand-in: no audio to pass through\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *log = std::getenv("AMR_RECORD_LOG"); log && !record(log, argc, argv))
        return 4;
    if (const char *go = std::getenv("AMR_RECORD_WAIT_FOR"))
        waitFor(go);
    if (const char *failing = std::getenv("AMR_RECORD_FAIL"); failing && std::filesystem::path(argv[0]).filename() == failing) {
        std::fprintf(stderr, "%s: usage: stand-in failing on purpose\n", failing);
        return 2;
    }
    if (std::getenv("AMR_RECORD_PASS_THROUGH"))
        return passThrough(std::vector<std::string>(argv + 1, argv + argc));
    return 0;
}
