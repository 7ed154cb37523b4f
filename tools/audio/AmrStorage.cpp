// The frame-size table and the mode names of the AMR-NB storage format.

#include "AmrStorage.h"

#include <array>

namespace audio::AmrStorage {

namespace {

struct FrameType {
    std::string_view modeName;
    std::size_t bytes;
};

// Indexed by frame type. Types 9 to 11 are the comfort-noise frames of other codecs
// and 12 to 14 are reserved: none of them belongs in an AMR-NB file.
constexpr std::array<FrameType, 16> frameTypes{{
    {"MR475", 13},
    {"MR515", 14},
    {"MR59", 16},
    {"MR67", 18},
    {"MR74", 20},
    {"MR795", 21},
    {"MR102", 27},
    {"MR122", 32},
    {"", 6},
    {"", 0},
    {"", 0},
    {"", 0},
    {"", 0},
    {"", 0},
    {"", 0},
    {"", 1},
}};

} // namespace

std::optional<std::size_t> frameBytes(int frameType)
{
    if (frameType < 0 || frameType >= static_cast<int>(frameTypes.size())
        || frameTypes[frameType].bytes == 0) {
        return std::nullopt;
    }
    return frameTypes[frameType].bytes;
}

std::optional<int> modeNamed(std::string_view name)
{
    for (int type = 0; type < 8; ++type) {
        if (frameTypes[type].modeName == name)
            return type;
    }
    return std::nullopt;
}

} // namespace audio::AmrStorage
