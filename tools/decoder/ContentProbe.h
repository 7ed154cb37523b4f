#pragma once

// What a file holds, told by its first bytes and never by its name: MPEG audio (which
// the decoder reads with libmpg123), another audio or video format that it names (WAV,
// FLAC, Ogg, MP4, Matroska and more, which FFmpeg reads), a kind of file that is never
// audio (programs, archives, documents, pictures, fonts), or nothing it recognises.
// Signatures are looked at first, so that a WAV, FLAC or Ogg file called .mp3 is never
// taken for MPEG audio, however many bytes in it look like frame headers, and neither is
// a program, whose tables of jumps can look like a run of frames; MPEG audio is only
// recognised where several frames follow each other (see MpegFrameScanner).

#include "AudioResult.h"

#include <istream>
#include <string>

struct ContentProbe {
    enum class Kind { mpegAudio, otherFormat, notAudio, unknown };

    Kind kind;
    std::string formatName; // for otherFormat and notAudio, such as "WAV" or "PNG picture"

    // Reads the start of `in` (past an ID3v2 tag) and leaves `in` where it started.
    static audio::Result<ContentProbe> of(std::istream &in);
};
