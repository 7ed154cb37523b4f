// Fixed slots that a signal handler reads without locks or allocation.

#include "TemporaryFiles.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace audio {

namespace {

enum SlotState : int { freeSlot, claimedSlot, liveSlot };

// The longest path the system calls take on Linux, with its terminating zero.
constexpr std::size_t pathCapacity = 4096;

struct Slot {
    std::atomic<int> state{freeSlot};
    int descriptor = -1;
    std::array<char, pathCapacity> path{};
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

std::array<Slot, TemporaryFiles::capacity> slots;

void removeRegisteredFiles()
{
    for (Slot &slot : slots) {
        if (slot.state.load(std::memory_order_acquire) != liveSlot)
            continue;
#ifdef _WIN32
        // Windows cannot delete a file that is still open.
        _close(slot.descriptor);
        DeleteFileA(slot.path.data());
#else
        unlink(slot.path.data());
#endif
    }
}

#ifdef _WIN32

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT)
        removeRegisteredFiles();
    // Not handled: the default handler ends the process.
    return FALSE;
}

#else

constexpr std::array stopSignals{SIGHUP, SIGINT, SIGTERM};

void onSignal(int signalNumber)
{
    removeRegisteredFiles();
    // The handler was reset to the default on entry; raised again, the signal ends the
    // process as soon as the handler returns, with the status that names it.
    raise(signalNumber);
}

#endif

} // namespace

void TemporaryFiles::removeWhenStopped()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    for (const int signalNumber : stopSignals) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signalNumber, &action, nullptr);
    }
#endif
}

Result<TemporaryFiles::File> TemporaryFiles::create(std::string pathTemplate)
{
    if (pathTemplate.size() >= pathCapacity)
        return Error{"its path is too long"};
    int index = 0;
    for (;; ++index) {
        if (index == capacity)
            return Error{"too many temporary files are open at once"};
        int expected = freeSlot;
        if (slots[static_cast<std::size_t>(index)].state.compare_exchange_strong(expected, claimedSlot))
            break;
    }
    Slot &slot = slots[static_cast<std::size_t>(index)];

#ifndef _WIN32
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int signalNumber : stopSignals)
        sigaddset(&stops, signalNumber);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
#endif
    const int descriptor = mkstemp(pathTemplate.data());
    const int error = errno;
    if (descriptor >= 0) {
        std::memcpy(slot.path.data(), pathTemplate.c_str(), pathTemplate.size() + 1);
        slot.descriptor = descriptor;
        slot.state.store(liveSlot, std::memory_order_release);
    }
#ifndef _WIN32
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
#endif
    if (descriptor < 0) {
        slot.state.store(freeSlot, std::memory_order_release);
        return Error{std::strerror(error)};
    }
    return File{descriptor, std::move(pathTemplate), index};
}

void TemporaryFiles::release(int slot)
{
    slots[static_cast<std::size_t>(slot)].state.store(freeSlot, std::memory_order_release);
}

} // namespace audio
