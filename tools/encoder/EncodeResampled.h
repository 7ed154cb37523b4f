#pragma once

// Encodes a WAV file whose audio is not what the AMR encoder takes as it is (8000 Hz, mono,
// 16-bit): its channels are mixed with equal weight and the result is resampled to 8000 Hz
// with libsoxr at very high quality on the way, a block at a time, on one thread, so that
// memory stays flat for any length. The last frame is padded with silence.

#include "AudioResult.h"
#include "EncodeRun.h"
#include "WavReader.h"

audio::Status encodeResampled(audio::WavReader &wav, int mode, const FrameSink &sink);
