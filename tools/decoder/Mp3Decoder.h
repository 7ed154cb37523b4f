#pragma once

// Decodes an MPEG audio file (MPEG 1, 2 and 2.5, layers I to III) with libmpg123. The
// frames come from MpegFrameScanner, which steps over tags and skips junk; libmpg123 is
// fed one whole frame at a time and decodes it.
//
// Gapless: where a LAME header gives the encoder's delay, that delay and the decoder's own
// are cut from the start. The padding at the end is cut only when the stream has exactly
// the frames the header announces; a stream that ends early (cut by a tool or a broken
// download) or runs on (files joined with `cat`) is decoded to its real end. A second LAME
// header inside the stream (of a joined file) is not audio and is skipped.
//
// What was damaged comes back as warnings, one line per kind: junk skipped inside the
// stream, frames libmpg123 could not decode, a last frame cut short, a length that
// disagrees with the LAME header, and changes of the sample rate or channel count.

#include "AudioSource.h"
#include "MpegFrameDecoder.h"
#include "MpegFrameScanner.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>

class Mp3Decoder : public AudioSource {
public:
    static audio::Result<std::unique_ptr<Mp3Decoder>> open(std::unique_ptr<std::istream> in);

    audio::Result<AudioBlock> read() override;
    std::vector<std::string> warnings() const override;

private:
    // What the LAME header of the first frame says.
    struct Announced {
        std::int64_t frames = -1; // audio frames, the header's own excluded; -1 without a count
        long delay = -1;          // encoder delay in samples; -1 without a LAME header
        long padding = -1;
    };

    Mp3Decoder(std::unique_ptr<std::istream> in, MpegFrameDecoder decoder);

    // Decodes one more frame, feeding libmpg123 the next when it needs one.
    audio::Status step();
    audio::Status feed(const MpegFrameScanner::Frame &frame);
    audio::Status takeFormat();
    void append(std::span<const float> mono);
    void release(std::size_t count);
    void finish();
    double announcedSeconds() const;

    std::unique_ptr<std::istream> m_in;
    MpegFrameScanner m_scanner;
    MpegFrameDecoder m_decoder;

    bool m_needFrame = true;
    bool m_ended = false;
    std::int64_t m_framesFed = 0;
    std::int64_t m_framesDecoded = 0;
    int m_sampleRate = 0;
    int m_channels = 0;
    int m_firstSampleRate = 0;      // the rate the LAME header's length is counted in
    int m_firstSamplesPerFrame = 0;

    Announced m_announced;
    std::int64_t m_skipLeft = 0;  // samples still to cut from the start
    std::size_t m_holdBack = 0;   // samples kept back in case they are the end's padding

    std::vector<float> m_held;    // decoded, not yet handed out
    std::vector<float> m_ready;   // to hand out, at m_readyRate
    int m_readyRate = 0;
    std::vector<float> m_block;   // handed out
    double m_seconds = 0;         // of audio decoded and kept so far

    std::uint64_t m_junkBytes = 0;
    int m_junkPlaces = 0;
    double m_firstJunkAt = 0;
    int m_damagedFrames = 0;
    double m_firstDamageAt = 0;
    int m_formatChanges = 0;
    std::string m_firstFormatChange;
};
