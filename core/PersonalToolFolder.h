#pragma once

#include "ToolFolder.h"

#include <optional>

// A tool folder of the user's own for a program installed where the user may not write,
// such as /usr/bin or C:\Program Files: the conversion script and the intermediate WAV
// file go there, and links lead to the installed decoder, encoder and script runner.
// On Windows, which has no script runner, the folder holds copies of the decoder, its
// FFmpeg module and the encoder instead of links. Each user then converts without
// stepping on another's files.
//
// `personalDirectory` takes the place of the application directory: it receives the
// runner's link and the folder "amr" with the tools' links. Links that lead elsewhere
// and copies that differ are replaced. Empty when the folder, a link or a copy cannot
// be made.
std::optional<ToolFolder> personalToolFolder(const ToolFolder &installed,
                                             const QString &personalDirectory);

// The links or copies of the installed tools in the personal folder, made or replaced
// where they lead elsewhere or differ; false when one cannot be made. Each platform has
// its own, in PersonalToolFolder_unix.cpp and PersonalToolFolder_win.cpp.
bool provideInstalledTools(const ToolFolder &installed, const ToolFolder &personal);
