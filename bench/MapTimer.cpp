// Times how long programs take to show their first window on an X display:
//
//   maptimer REPETITIONS PROGRAM_A PROGRAM_B
//
// Starts the two programs in turn, REPETITIONS times each, so that whatever else the
// machine does falls on both alike, and measures each start from just before the program
// is started to the moment the X server maps its first window (a MapNotify on the root
// window, whose children the top-level windows are when no window manager reparents
// them). Prints the median, fastest and slowest time of each and the ratio of the
// medians, B to A.

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until the program maps a window; nothing when it does not within 30 s.
std::optional<double> timeToMap(xcb_connection_t *connection, const char *program)
{
    // Events of earlier runs (the previous window's unmapping) must not count.
    while (xcb_generic_event_t *stale = xcb_poll_for_event(connection))
        std::free(stale);

    char *arguments[] = {const_cast<char *>(program), nullptr};
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return std::nullopt;

    std::optional<double> elapsed;
    pollfd connectionReady{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!elapsed && Clock::now() - start < std::chrono::seconds(30)) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            poll(&connectionReady, 1, 100);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::free(event);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return elapsed;
}

struct Spread {
    double median, fastest, slowest;
};

Spread spreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: maptimer REPETITIONS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    const int repetitions = std::atoi(argv[1]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (repetitions < 1 || xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "maptimer: no repetitions, or no X display to watch\n");
        return 2;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t watchChildren = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &watchChildren);
    xcb_flush(connection);

    std::vector<double> times[2];
    for (int i = 0; i < repetitions; ++i) {
        for (int program = 0; program < 2; ++program) {
            const auto elapsed = timeToMap(connection, argv[2 + program]);
            if (!elapsed) {
                std::fprintf(stderr, "maptimer: %s showed no window within 30 s\n", argv[2 + program]);
                return 1;
            }
            times[program].push_back(*elapsed);
        }
    }
    Spread spreads[2];
    for (int program = 0; program < 2; ++program) {
        spreads[program] = spreadOf(times[program]);
        std::printf("%-50s median %6.1f ms (fastest %6.1f, slowest %6.1f)\n", argv[2 + program],
                    spreads[program].median, spreads[program].fastest, spreads[program].slowest);
    }
    std::printf("ratio of the medians: %.2f\n", spreads[1].median / spreads[0].median);
    xcb_disconnect(connection);
    return 0;
}
