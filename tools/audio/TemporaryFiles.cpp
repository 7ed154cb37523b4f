// Fixed slots that a signal handler reads without locks or allocation.

#include "TemporaryFiles.h"

#include "Platform.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

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
        if (slot.state.load(std::memory_order_acquire) == liveSlot)
            platform::removeWhileStopping(slot.descriptor, slot.path.data());
    }
}

} // namespace

void TemporaryFiles::removeWhenStopped()
{
    platform::callWhenStopped(removeRegisteredFiles);
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

    int descriptor = -1;
    int error = 0;
    platform::withStopsHeld([&] {
        descriptor = mkstemp(pathTemplate.data());
        error = errno;
        if (descriptor >= 0) {
            std::memcpy(slot.path.data(), pathTemplate.c_str(), pathTemplate.size() + 1);
            slot.descriptor = descriptor;
            slot.state.store(liveSlot, std::memory_order_release);
        }
    });
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
