#include "StopSignals.h"

#include <csignal>
#include <cstdlib>

#include <unistd.h>

namespace StopSignals {

namespace {

constexpr int signals[] = {SIGHUP, SIGINT, SIGTERM};

volatile std::sig_atomic_t arrived = 0;

extern "C" void remember(int signal)
{
    if (arrived == 0)
        arrived = signal;
}

} // namespace

void install()
{
    struct sigaction action {};
    action.sa_handler = remember;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: blocked calls return so the runner can react
    for (const int signal : signals)
        sigaction(signal, &action, nullptr);
}

int received() { return arrived; }

void forwardTo(pid_t program)
{
    static pid_t forwarded = 0;
    if (arrived != 0 && forwarded != program) {
        forwarded = program;
        kill(program, arrived);
    }
}

void endByIt()
{
    const int signal = arrived;
    std::signal(signal, SIG_DFL);
    raise(signal);
    std::_Exit(128 + signal);
}

} // namespace StopSignals
