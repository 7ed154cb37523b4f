#pragma once

// The temporary files a tool is writing, so that they can be removed when the tool is
// stopped from outside: by SIGHUP (its terminal closed), SIGINT (Ctrl+C) or SIGTERM, or
// on Windows by the console's close and Ctrl+C events. The handler removes every file
// still registered and then lets the stop take its usual course, so the exit status still
// tells what stopped the tool.
//
// The registry is a few fixed slots that a signal handler may read: registering a file
// copies its name into a free slot, releasing it empties the slot.

#include "AudioResult.h"

#include <string>

namespace audio {

class TemporaryFiles {
public:
    // The number of files that may be registered at once.
    static constexpr int capacity = 4;

    // Installs the handlers; once, at the start of main. A signal that was set to be
    // ignored when the tool started (as nohup does with SIGHUP) stays ignored.
    static void removeWhenStopped();

    struct File {
        int descriptor;
        std::string path;
        int slot; // to release
    };

    // Creates a new file from `pathTemplate`, whose last six characters are XXXXXX as
    // mkstemp takes them, and registers it. The stop signals wait while it does both, so
    // that no stop can come between the two: call it before the tool starts threads.
    // Errors name what failed, without the path.
    static Result<File> create(std::string pathTemplate);

    // Forgets a registered file. Call it only after the file is gone or renamed.
    static void release(int slot);
};

} // namespace audio
