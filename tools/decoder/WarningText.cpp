// Times to a hundredth of a second, channel counts in words.

#include "WarningText.h"

#include <cstdio>

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

std::string formatText(int sampleRate, int channels)
{
    const std::string layout = channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
    return std::to_string(sampleRate) + " Hz " + layout;
}
