#pragma once

// libmpg123 in feed mode, fed one whole frame at a time (as MpegFrameScanner finds them),
// decoding each to float samples at the stream's own rate and mixing its channels to mono
// with equal weight. Mixing and resampling are left to us, and so is gapless decoding:
// libmpg123's own would end the audio where the LAME header says.

#include "AudioResult.h"
#include "MpegFrameHeader.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

struct mpg123_handle_struct;

class MpegFrameDecoder {
public:
    // libmpg123's synthesis delays layer III output by this many samples.
    static constexpr long synthesisDelay = 529;

    static audio::Result<MpegFrameDecoder> create();

    // Starts a stream whose first frame has `header` and is `frameBytes` long (libmpg123 is
    // told a free-format stream's frame length up front).
    audio::Status start(const MpegFrameHeader &header, std::size_t frameBytes);
    // Starts afresh after a frame that could not be decoded, forgetting the frames before.
    audio::Status restart();
    audio::Status feed(std::span<const unsigned char> frame);

    enum class Step {
        needFrame,   // feed the next frame
        newFormat,   // format() has changed; decode() again
        decoded,     // mono() holds the frame's samples
        undecodable, // the frame could not be decoded: restart()
    };
    Step decode();

    struct Format {
        int sampleRate;
        int channels;
    };
    // The stream's format, once decode() has said so.
    audio::Result<Format> format() const;
    // The encoder delay and padding of the LAME header that the stream started with, in
    // samples; -1 without one. Known once decode() has said newFormat.
    long encoderDelay() const;
    long encoderPadding() const;

    // The decoded frame's samples, mixed to mono; valid until the next decode().
    std::span<const float> mono() const { return m_mono; }

private:
    struct Delete {
        void operator()(mpg123_handle_struct *handle) const;
    };

    explicit MpegFrameDecoder(mpg123_handle_struct *handle) : m_handle(handle) {}
    audio::Error failure(const char *action) const;

    std::unique_ptr<mpg123_handle_struct, Delete> m_handle;
    int m_channels = 1;
    std::vector<float> m_mono;
};
