#pragma once

#include <sys/types.h>

// The signals that stop a run: the console window closed (SIGHUP), Ctrl+C (SIGINT) and
// a plain kill (SIGTERM). While installed, they do not end the runner at once: it passes
// the signal on to the program it waits for, so that program can remove its temporary
// files, then stops the script and ends by the same signal.
namespace StopSignals {

// Catches the three signals. Calls blocked in the runner (waiting for a program, reading
// the console) return early with EINTR when one arrives.
void install();

// The signal that arrived, or 0.
int received();

// Sends the signal that arrived to `program`, once.
void forwardTo(pid_t program);

// Ends the process by the signal that arrived, as it would have without the handler.
[[noreturn]] void endByIt();

} // namespace StopSignals
