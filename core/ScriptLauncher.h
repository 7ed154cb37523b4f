#pragma once

#include "Result.h"
#include "ToolFolder.h"

// Starts the conversion script of the tool folder in a console window of its own and
// returns at once; the conversion runs in a process nobody waits for.
//
// On Windows the command interpreter runs it in a new console. Elsewhere the script
// runner beside the program runs it inside a terminal emulator ($TERMINAL,
// x-terminal-emulator, then common terminals), or without a window when there is no
// display or no terminal.
Status RunBatchFile(const ToolFolder &toolFolder);
