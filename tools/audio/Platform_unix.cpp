// POSIX calls: rename, fsync, the file's mode and owner, kill(pid, 0) and flock for the
// temporary files of other runs, and signals.

#include "Platform.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace audio::platform {

namespace {

constexpr std::array stopSignals{SIGHUP, SIGINT, SIGTERM};

// What the stop handler calls; set once, before the handlers are installed.
void (*filesToRemove)() = nullptr;

void onSignal(int signalNumber)
{
    filesToRemove();
    // The handler was reset to the default on entry; raised again, the signal ends the
    // process as soon as the handler returns, with the status that names it.
    raise(signalNumber);
}

std::size_t limitOf(const std::string &folder, int name, std::size_t fallback)
{
    const long limit = pathconf(folder.empty() ? "." : folder.c_str(), name);
    return limit > 0 ? static_cast<std::size_t>(limit) : fallback;
}

} // namespace

std::string_view folderSeparators() { return "/"; }

std::size_t nameLimit(const std::string &folder) { return limitOf(folder, _PC_NAME_MAX, 255); }

// PATH_MAX counts the terminating zero.
std::size_t pathLimit(const std::string &folder) { return limitOf(folder, _PC_PATH_MAX, 4096) - 1; }

std::string followLinks(const std::string &path)
{
    // SYMLOOP_MAX on Linux: a longer chain fails in the system calls too.
    constexpr int mostLinks = 40;
    std::string followed = path;
    for (int link = 0; link < mostLinks; ++link) {
        struct stat status {};
        if (lstat(followed.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            break;
        std::array<char, 4096> target{};
        const ssize_t length = readlink(followed.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) == target.size())
            break;
        const std::string leadsTo(target.data(), static_cast<std::size_t>(length));
        // A relative link is relative to the folder it is in.
        const std::size_t folderEnd = followed.rfind('/');
        followed = leadsTo.front() == '/' || folderEnd == std::string::npos
                       ? leadsTo
                       : followed.substr(0, folderEnd + 1) + leadsTo;
    }
    return followed;
}

int writeRefusal(const std::string &path)
{
    // Checked for the effective user, as open checks it.
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

std::optional<Ownership> ownershipOf(const std::string &path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return Ownership{static_cast<unsigned>(status.st_mode), status.st_uid, status.st_gid};
}

bool takeOver(int descriptor, const std::optional<Ownership> &replaced)
{
    if (!replaced) {
        // mkstemp creates the file readable by its owner only, while an output should
        // look like any file the user creates.
        const mode_t mask = umask(0);
        umask(mask);
        return fchmod(descriptor, 0666 & ~mask) == 0;
    }
    // Only root may give a file away; anyone may give it a group they are in. Failing
    // both, the file is the user's, as a file the user wrote anew would be.
    [[maybe_unused]] const bool kept = fchown(descriptor, replaced->owner, replaced->group) == 0
                                       || fchown(descriptor, static_cast<uid_t>(-1), replaced->group) == 0;
    // The permission bits only: an audio file has no business being set-user-ID.
    return fchmod(descriptor, replaced->mode & 0777) == 0;
}

bool flushToDisk(int descriptor) { return fsync(descriptor) == 0; }

std::optional<std::string> replaceFile(const std::string &from, const std::string &to)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return std::nullopt;
    return std::strerror(errno);
}

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

std::vector<std::string> namesIn(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *entries = opendir(folder.empty() ? "." : folder.c_str());
    if (!entries)
        return names;
    while (const dirent *entry = readdir(entries))
        names.emplace_back(entry->d_name);
    closedir(entries);
    return names;
}

void holdAsWriter(int descriptor)
{
    // Released by the system when the process ends, however it ends. Where the file
    // system has no locks, the process id still tells.
    flock(descriptor, LOCK_EX | LOCK_NB);
}

void removeIfOrphaned(const std::string &path, unsigned long writer)
{
    // ESRCH: no such process. EPERM means a process of another user's runs under that id.
    // (0 and the negative ids would name groups of processes.)
    if (writer == 0 || writer > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())
        || kill(static_cast<pid_t>(writer), 0) == 0 || errno != ESRCH)
        return;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    struct stat status {};
    // A writer that still holds its lock runs on, in a process this one cannot see (in
    // another container, or on another machine sharing the folder).
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid()
        && flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        unlink(path.c_str());
    close(descriptor);
}

void callWhenStopped(void (*removeFiles)())
{
    filesToRemove = removeFiles;
    for (const int signalNumber : stopSignals) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signalNumber, &action, nullptr);
    }
}

void withStopsHeld(const std::function<void()> &action)
{
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int signalNumber : stopSignals)
        sigaddset(&stops, signalNumber);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    action();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void removeWhileStopping(int, const char *path) { unlink(path); }

} // namespace audio::platform
