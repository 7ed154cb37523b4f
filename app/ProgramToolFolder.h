#pragma once

#include "ToolFolder.h"

// The tool folder the program converts with: the one beside its executable, with
// native separators. Where the user may not write in it (an installation for all users),
// the user's own tool folder in the application data folder instead, which links to
// those tools (on Windows: holds copies of them).
ToolFolder programToolFolder();
