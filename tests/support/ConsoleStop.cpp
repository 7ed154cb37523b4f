// Presses Ctrl+C in the console of another process, as a user in that console window
// would: `consolestop PID`. Windows sends Ctrl+C to every process on a console, so this
// helper joins the target's console for it, ignoring the event itself, and a test
// process need not leave its own console. Exits with 0 when the event was sent.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: consolestop PID\n");
        return 2;
    }
    const auto processId = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    FreeConsole();
    if (!AttachConsole(processId)) {
        std::fprintf(stderr, "consolestop: cannot join the console of process %lu\n", processId);
        return 1;
    }
    SetConsoleCtrlHandler(nullptr, TRUE);
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        std::fprintf(stderr, "consolestop: cannot send Ctrl+C\n");
        return 1;
    }
    return 0;
}
