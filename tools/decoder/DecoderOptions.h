#pragma once

// The decoder's command line. The conversion script calls it with exactly
//
//   madplay.exe -m -R 8000 -b 16 -o wave:OUTPUT.wav INPUT.mp3
//
// (mono, 8000 Hz, 16-bit, WAV output). The options may come in any order; any other
// option or value is refused, since the decoder produces nothing else. The last argument
// is the input even when its name starts with '-' (as "-song.mp3" does), unless it is one
// of the options.

#include <optional>
#include <string>
#include <vector>

struct DecoderOptions {
    std::string wavPath;
    std::string mp3Path;

    // The options, or nothing when the arguments (program name excluded) are not the
    // decoder's command line.
    static std::optional<DecoderOptions> parse(const std::vector<std::string> &arguments);
};
