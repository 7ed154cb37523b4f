#pragma once

// After a failed decoding, the WAV file at the decoder's output path is the audio of an
// earlier conversion, which the encoder that the conversion script runs next must not
// encode: it is removed. Only such a file is: a WAV file (by its RIFF/WAVE header) that
// the decoder would have replaced. A folder, a file of another kind, or one the user may
// not write is not the decoder's to remove, and stays as it was. Through a symbolic link
// the file it leads to is removed, and the link stays, as the output would have replaced
// that file.

#include <optional>
#include <string>

// What went wrong with removing it, for the error line; nothing when it is gone or was
// not the decoder's to remove.
std::optional<std::string> removeStaleWav(const std::string &wavPath);
