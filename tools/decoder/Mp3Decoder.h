#pragma once

// Decodes an MPEG audio file (MPEG 1, 2 and 2.5, layers I to III) with libmpg123, frame
// by frame, into mono float samples, the channels mixed with equal weight.
//
// Tags (ID3v1, ID3v2, APE) are skipped and gapless decoding removes the encoder's delay
// and padding that a LAME/Xing header announces. The decoder is strict, because the
// encoder that follows in the conversion script would otherwise turn a broken file into
// a ringtone of noise or of half a song: a file without MPEG audio, junk between frames,
// a stream that ends inside a frame or before the length its LAME header announces, and
// a change of sample rate or channel count inside the stream are all errors. Junk after
// the last frame, with no frame behind it, merely ends the audio, as it does in players.

#include "AudioResult.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct mpg123_handle_struct;

class Mp3Decoder {
public:
    static audio::Result<Mp3Decoder> open(const std::string &path);

    Mp3Decoder(Mp3Decoder &&other) noexcept;
    Mp3Decoder &operator=(Mp3Decoder &&) = delete;
    Mp3Decoder(const Mp3Decoder &) = delete;
    Mp3Decoder &operator=(const Mp3Decoder &) = delete;
    ~Mp3Decoder();

    long sampleRate() const { return m_sampleRate; }

    // The next frame's mono samples (nominally within -1 to 1, with the overshoot that
    // lossy coding brings); an empty block at the end of the stream. The samples stay
    // valid until the next call.
    audio::Result<std::span<const float>> read();

private:
    Mp3Decoder(int descriptor, mpg123_handle_struct *handle);

    audio::Status start();
    void mix(const unsigned char *decoded, std::size_t bytes);
    audio::Status checkFormat();
    audio::Status checkFrame();
    audio::Status checkSameFormat(long rate, int channels) const;
    audio::Status checkComplete() const;
    // Whether anything after the last frame decoded looks like the start of another
    // frame (an unreadable rest counts as one).
    bool frameHeaderFollows() const;
    audio::Error damaged() const;
    double secondsDecoded() const;

    int m_descriptor;
    mpg123_handle_struct *m_handle;
    long m_sampleRate = 0;
    int m_channels = 0;
    // The length a LAME header announces, in samples per channel; negative without one.
    std::int64_t m_announcedSamples = -1;
    std::int64_t m_samplesDecoded = 0;
    std::int64_t m_lastFrameEnd = 0;
    std::vector<float> m_mono;
};
