#pragma once

// The ID3v2 tag that starts many MP3 files (and that a file joined on brings into the
// middle of one): the header "ID3", two version bytes below 0xFF, a flags byte and the
// size of what follows in four bytes of seven bits each; a footer of 10 more bytes where
// the flags say so.

#include <cstdint>
#include <span>

// The length of the ID3v2 tag at the start of `bytes`, header and footer included; 0 when
// none starts there.
std::uint64_t id3v2TagLength(std::span<const unsigned char> bytes);
