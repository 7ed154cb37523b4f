#pragma once

// What the decoder reads its input through, whatever the format: blocks of mono float
// samples (full scale at +-1, the channels mixed with equal weight), each at the rate the
// stream has there, so that a stream whose rate changes is read as one. The reader skips
// over the damage it can and says, once the audio has ended, what it skipped.

#include "AudioResult.h"

#include <span>
#include <string>
#include <vector>

struct AudioBlock {
    std::span<const float> samples; // empty at the end of the audio
    int sampleRate;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;

    // The next block; its samples stay valid until the next call. An error when the input
    // holds no audio at all or cannot be read.
    virtual audio::Result<AudioBlock> read() = 0;

    // One line for each kind of damage met on the way, naming what and where (without
    // the file's name), once read() has returned the end.
    virtual std::vector<std::string> warnings() const = 0;
};
