#pragma once

#include <ostream>
#include <string_view>

// Runs the lines of a conversion script in order, as the command interpreter does on
// Windows: each line is echoed after a prompt naming the current folder; "cd FOLDER"
// and "exit" are built in; any other line runs a program and waits for it. A program
// that fails does not stop the run, and a line whose program cannot be found is
// reported and skipped. Lines end with CR LF or LF.
//
// Returns the exit status of the run: 0 unless the script could not be run at all.
int runBatchScript(std::string_view scriptText, std::ostream &console);
