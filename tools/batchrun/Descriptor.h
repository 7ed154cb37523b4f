#pragma once

// An open file descriptor that closes itself: a std::unique_ptr whose "pointer" is the
// descriptor's number, -1 for none.

#include <cstddef>
#include <memory>

struct CloseDescriptor {
    struct pointer {
        int number = -1;

        pointer() = default;
        pointer(std::nullptr_t) {}
        pointer(int descriptor) : number(descriptor) {}
        explicit operator bool() const { return number >= 0; }
        friend bool operator==(pointer, pointer) = default;
    };
    void operator()(pointer descriptor) const;
};

using Descriptor = std::unique_ptr<int, CloseDescriptor>;
