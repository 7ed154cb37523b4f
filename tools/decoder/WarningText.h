#pragma once

// The wording of times and stream formats in the decoder's warnings and errors.

#include <string>

// "9.98 s"
std::string secondsText(double seconds);

// "44100 Hz stereo"
std::string formatText(int sampleRate, int channels);
