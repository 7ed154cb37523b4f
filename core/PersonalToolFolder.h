#pragma once

#include "ToolFolder.h"

#include <optional>
#include <utility>
#include <vector>

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

// The installed tool files, each with its place in the personal folder. Each platform
// has its own, with provideInstalledFile(), in PersonalToolFolder_unix.cpp and
// PersonalToolFolder_win.cpp.
std::vector<std::pair<QString, QString>> installedToolFiles(const ToolFolder &installed, const ToolFolder &personal);

// Makes `personalFile` lead to `installedFile` (a link; on Windows a copy), replacing what
// leads elsewhere or differs; false when that cannot be done.
bool provideInstalledFile(const QString &installedFile, const QString &personalFile);
