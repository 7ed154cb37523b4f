// A stand-in for the decoder and the encoder in tests: appends one line to the file that
// AMR_RECORD_LOG names, holding the current folder, then every argument including the
// program's own name, separated by the unit separator 0x1F. Exits with the status in
// AMR_RECORD_EXIT (0 when unset). When AMR_RECORD_WAIT_FOR names a file, it first waits
// up to 30 s for that file to appear, so a test can hold a conversion in the middle.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
// Binary, or the C library would end each line with CR LF.
constexpr int logFlags = O_WRONLY | O_APPEND | O_CREAT | O_BINARY;
#else
constexpr int logFlags = O_WRONLY | O_APPEND | O_CREAT;
#endif

int main(int argc, char **argv)
{
    const char *log = std::getenv("AMR_RECORD_LOG");
    if (!log)
        return 3;
    if (const char *go = std::getenv("AMR_RECORD_WAIT_FOR")) {
        struct stat status {};
        for (int i = 0; i < 600 && stat(go, &status) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    char folder[4096];
    std::string record = getcwd(folder, sizeof folder) ? folder : "?";
    for (int i = 0; i < argc; ++i)
        record += '\x1f' + std::string(argv[i]);
    record += '\n';

    const int fd = open(log, logFlags, 0644);
    if (fd < 0 || write(fd, record.data(), record.size()) != static_cast<ssize_t>(record.size()))
        return 4;
    close(fd);
    const char *status = std::getenv("AMR_RECORD_EXIT");
    return status ? std::atoi(status) : 0;
}
