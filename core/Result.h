#pragma once

// The core's errors as values: BasicResult with a Failure, whose message the window shows.

#include "BasicResult.h"

#include <QString>

// A failure the user can act on: the message names the file or folder and the reason.
struct Failure {
    QString message;
};

// What an operation without a value returns: nothing on success, the failure otherwise.
using Status = BasicStatus<Failure>;

// A value, or the failure that prevented it.
template <typename T>
using Result = BasicResult<T, Failure>;
