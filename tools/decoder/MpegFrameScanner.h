#pragma once

// Finds the frames of an MPEG audio stream in a file, one after the other, the way players
// do: tags (ID3v2, ID3v1, APEv2) are stepped over, and junk between frames is skipped
// until a stream of frames starts again. Where a stream starts is only believed when
// several frames follow each other there (or run exactly to the end of the file or to a
// tag): a few where the stream goes on as before after junk, more where a stream starts
// or changes its format. So bytes that merely look like frame headers in junk, in a
// picture, in a font or in PCM audio are not taken for audio. After the last frame,
// anything else ends the audio.
//
// The scanner reads the file front to back through a window of a few frames, so its
// memory stays flat for any length of file.

#include "AudioResult.h"
#include "MpegFrameHeader.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <vector>

class MpegFrameScanner {
public:
    struct Frame {
        std::uint64_t offset;
        MpegFrameHeader header;
        std::span<const unsigned char> bytes; // the whole frame, valid until the next call
        // Junk skipped since the previous frame (for the first frame: before it, after
        // any tags), in bytes.
        std::uint64_t junkBefore;
    };

    // How the audio ended, once next() has returned nothing.
    struct End {
        std::uint64_t offset;        // where the last frame ends
        std::uint64_t trailingBytes; // after it and any tags: junk, or a frame cut short
        bool cutFrame;               // the trailing bytes start a frame of the stream that the file cuts off
    };

    // Frames that must follow each other before a stream is believed to go on after junk
    // as it was, and before a stream is believed to start or to change its format.
    static constexpr int framesToResume = 3;
    static constexpr int framesToStart = 8;

    // `in` must outlive the scanner. Reading starts at its current position.
    explicit MpegFrameScanner(std::istream &in);

    // The next frame; nothing at the end of the audio. An error only when the file
    // cannot be read.
    audio::Result<std::optional<Frame>> next();

    const End &end() const { return m_end; }

private:
    // The bytes from `offset` on, at least `count` of them unless the file ends first:
    // how many are there.
    audio::Result<std::size_t> fill(std::uint64_t offset, std::size_t count);
    const unsigned char *at(std::uint64_t offset) const { return &m_buffer[offset - m_bufferOffset]; }
    void forgetBefore(std::uint64_t offset);

    // A run of frames so far: the last one's header, and the unpadded length of its frames
    // when they are free format (0 until measured).
    struct Run {
        std::optional<MpegFrameHeader> last;
        std::size_t freeFormatLength = 0;
    };

    // The length of the frame at `offset`, header included, as a frame of `run`; nothing
    // when it cannot be told (a free-format frame without a following frame to measure
    // against).
    audio::Result<std::optional<std::size_t>> frameLength(std::uint64_t offset, const MpegFrameHeader &header,
                                                          const Run &run);
    // `run` after a frame of `length` with `header`.
    static Run extended(Run run, const MpegFrameHeader &header, std::size_t length);
    // The length of the tag at `offset`, or 0 when no tag starts there.
    audio::Result<std::uint64_t> tagLength(std::uint64_t offset);
    // Whether a stream of frames starts at `offset` that can follow `current` (any stream
    // when there is no current frame).
    audio::Result<bool> streamStartsAt(std::uint64_t offset);
    // Whether the frame at `offset` with `header` lies whole within the file.
    audio::Result<bool> fitsAt(std::uint64_t offset, std::size_t length);

    std::istream &m_in;
    std::vector<unsigned char> m_buffer;
    std::uint64_t m_bufferOffset;
    bool m_endOfFile = false;

    std::uint64_t m_position;        // where the next frame is expected
    std::uint64_t m_lastFrameEnd = 0;
    Run m_run;                       // the frames up to there
    End m_end{};
};
