#pragma once

// converter amr2wav: decodes an AMR-NB file to an 8000 Hz, 16-bit, mono WAV file, so the
// result of a conversion can be listened to and checked.

#include "AudioResult.h"

#include <string>

audio::Status amrToWav(const std::string &amrPath, const std::string &wavPath);
