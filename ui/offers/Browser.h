#pragma once

#include <functional>

// Opens a web address in the user's default browser and reports nothing back: whether a
// browser started, or the page loaded, is the desktop's matter.
//
// The offers window takes the opener as a value, so tests hand it a recorder instead.
using LinkOpener = std::function<void(const char *address)>;

// On Windows the shell's open call, ShellExecuteA(no owner, default operation, address,
// no parameters, "C:\", show normally); elsewhere the desktop's URL handler.
void openInBrowser(const char *address);
