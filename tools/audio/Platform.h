#pragma once

// The system calls behind the tools' output and temporary files, one source file per kind
// of system: Platform_unix.cpp (Linux and other POSIX systems) and Platform_win.cpp. Names
// are bytes on POSIX systems and UTF-8 on Windows, where the tools' manifest makes UTF-8
// the code page of the C library's and the system's "A" functions.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace audio::platform {

// --- Names

// The characters after which a name's folder part may end.
std::string_view folderSeparators();
// The longest name the folder `folder` takes, and the longest path the system calls take
// there, both in bytes and without the terminating zero.
std::size_t nameLimit(const std::string &folder);
std::size_t pathLimit(const std::string &folder);

// --- The file an output replaces

// `path` itself, or, when it is a symbolic link, the path of the file it leads to, through
// as many links as the system would follow (a link whose file does not exist yet leads to
// where that file would be; on Windows such a link is left as it is, to be replaced).
std::string followLinks(const std::string &path);

// 0 when the user may write the existing file at `path` with an ordinary open, as cp and
// sox would (root may write anything); the error number of the refusal otherwise.
int writeRefusal(const std::string &path);

// The permissions and the owner of a regular file, to keep where the tools replace it.
struct Ownership {
    unsigned mode;
    unsigned owner;
    unsigned group;
};
// Nothing where the system has no such thing to keep (Windows) or `path` cannot be read.
std::optional<Ownership> ownershipOf(const std::string &path);

// Gives the new file open at `descriptor` the permissions and, where the user may, the
// owner of the file it is to replace, or with nothing to replace those of any new file
// the user makes. False when the permissions could not be set.
bool takeOver(int descriptor, const std::optional<Ownership> &replaced);

bool flushToDisk(int descriptor);

// Renames `from` to `to`, replacing a file there; the system's reason when it cannot.
std::optional<std::string> replaceFile(const std::string &from, const std::string &to);

// --- Temporary files of other runs

unsigned long processId();

// The names of the entries in `folder` (which may end in a separator).
std::vector<std::string> namesIn(const std::string &folder);

// Marks the temporary file open at `descriptor` as written by this running process, for
// removeIfOrphaned in other runs.
void holdAsWriter(int descriptor);

// Removes the temporary file at `path` when the process `writer` that made it has ended
// without removing it (killed, or the power went); leaves it when that process may still
// run, when it is not a regular file of this user's, or when another process holds it.
void removeIfOrphaned(const std::string &path, unsigned long writer);

// --- Stops from outside

// Makes SIGHUP, SIGINT and SIGTERM (on Windows the console's close and Ctrl+C events)
// call `removeFiles` before the stop takes its usual course. A signal that was set to be
// ignored when the tool started (as nohup does with SIGHUP) stays ignored.
void callWhenStopped(void (*removeFiles)());

// Runs `action` with the stops held back until it has returned, so that none comes
// between two steps that must not be parted. (On Windows the console's events come on a
// thread of their own, which waits for nothing: there it just runs it.)
void withStopsHeld(const std::function<void()> &action);

// Removes a temporary file from within the stop handler, with only the calls safe there.
void removeWhileStopping(int descriptor, const char *path);

} // namespace audio::platform
