#pragma once

#include "ToolFolder.h"

#include <optional>

// A tool folder of the user's own for a program installed where the user may not write,
// such as /usr/bin: the conversion script and the intermediate WAV file go there, and
// links lead to the installed decoder, encoder and script runner. Each user then
// converts without stepping on another's files.
//
// `personalDirectory` takes the place of the application directory: it receives the
// runner's link and the folder "amr" with the tools' links. Links that lead elsewhere
// are replaced. Empty when the folder or a link cannot be made.
std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory);
