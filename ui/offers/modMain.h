#pragma once

#include <QtGlobal>

// The program's one declaration of the shell's open call, through which the offers
// window hands a web address to the desktop; the desktop opens it in the default
// browser. The call returns an instance value that is above 32 on success.
namespace modMain {

using ShellExecuteFunction = qintptr (*)(void *ownerWindow, const char *operation,
                                         const char *file, const char *parameters,
                                         const char *directory, int showCommand);

// Show the opened window normally.
inline constexpr int SW_SHOWNORMAL = 1;

// On Windows the shell32 entry point; elsewhere a call of the same form that gives the
// address to the desktop's default browser and ignores the Windows-only arguments.
// Tests put a recorder in its place.
extern ShellExecuteFunction ShellExecuteA;

} // namespace modMain
