#pragma once

// Errors as values for the tool folder's decoder and encoder: BasicResult with an Error
// that carries a message the user can act on; the caller adds the name of the file it
// concerns.

#include "BasicResult.h"

#include <string>

namespace audio {

struct Error {
    std::string message;
};

// What an operation without a value returns: nothing on success, the error otherwise.
using Status = BasicStatus<Error>;

// A value, or the error that prevented it.
template <typename T>
using Result = BasicResult<T, Error>;

} // namespace audio
