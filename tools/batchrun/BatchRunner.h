#pragma once

#include <ostream>
#include <string>
#include <string_view>

// Runs the lines of a conversion script in order, as the command interpreter does on
// Windows: each line is echoed after a prompt naming the current folder; "cd FOLDER"
// and "exit" are built in; any other line runs a program and waits for it. A program
// that fails does not stop the run, and a line whose program cannot be found is
// reported and skipped. Lines end with CR LF or LF; a UTF-8 byte-order mark before the
// first line is skipped.
//
// When a stop signal arrives (see StopSignals), the program running gets it too and no
// further line runs.

struct BatchOutcome {
    // Programs that ran and ended with a status other than 0 or by a signal.
    int failedPrograms = 0;
    // The first of them and how it ended: "madplay.exe ended with status 1".
    std::string firstFailure;
    // The stop signal that ended the run early, or 0.
    int stopSignal = 0;
};

BatchOutcome runBatchScript(std::string_view scriptText, std::ostream &console);
