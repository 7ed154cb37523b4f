// A stand-in for the decoder and the encoder in tests: appends one line to the file that
// AMR_RECORD_LOG names, holding the current folder, then every argument including the
// program's own name, separated by the unit separator 0x1F. Exits with the status in
// AMR_RECORD_EXIT (0 when unset).

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    const char *log = std::getenv("AMR_RECORD_LOG");
    if (!log)
        return 3;
    char folder[4096];
    std::string record = getcwd(folder, sizeof folder) ? folder : "?";
    for (int i = 0; i < argc; ++i)
        record += '\x1f' + std::string(argv[i]);
    record += '\n';

    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0 || write(fd, record.data(), record.size()) != static_cast<ssize_t>(record.size()))
        return 4;
    close(fd);
    const char *status = std::getenv("AMR_RECORD_EXIT");
    return status ? std::atoi(status) : 0;
}
