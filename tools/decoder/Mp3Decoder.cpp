// libmpg123 in feed mode, one scanned frame at a time, with our own gapless cuts.

#include "Mp3Decoder.h"

#include "GaplessCuts.h"
#include "InfoFrame.h"
#include "WarningText.h"

#include <algorithm>
#include <cmath>
#include <utility>

using audio::Error;
using audio::Status;


Mp3Decoder::Mp3Decoder(std::unique_ptr<std::istream> in, MpegFrameDecoder decoder)
    : m_in(std::move(in)), m_scanner(*m_in), m_decoder(std::move(decoder))
{
}

audio::Result<std::unique_ptr<Mp3Decoder>> Mp3Decoder::open(std::unique_ptr<std::istream> in)
{
    auto decoder = MpegFrameDecoder::create();
    if (!decoder.ok())
        return decoder.error();
    return std::unique_ptr<Mp3Decoder>(new Mp3Decoder(std::move(in), std::move(decoder.value())));
}

audio::Result<AudioBlock> Mp3Decoder::read()
{
    while (m_ready.empty() && !m_ended) {
        if (auto error = step())
            return *error;
    }
    if (m_ready.empty() && m_seconds == 0) {
        if (m_announced.frames > m_framesDecoded) {
            // libmpg123 has read the LAME header by now, though no audio came to name the format.
            m_announced.delay = m_decoder.encoderDelay();
            m_announced.padding = m_decoder.encoderPadding();
            return Error{"it is truncated: it ends before its first whole frame of audio, but its LAME header announces "
                         + secondsText(announcedSeconds())};
        }
        return Error{"it holds no MPEG audio (is it an MP3 file?)"};
    }
    m_block.swap(m_ready);
    m_ready.clear();
    return AudioBlock{m_block, m_readyRate};
}

Status Mp3Decoder::step()
{
    if (m_needFrame) {
        const auto frame = m_scanner.next();
        if (!frame.ok())
            return frame.error();
        if (!frame.value()) {
            finish();
            return std::nullopt;
        }
        if (auto error = feed(*frame.value()))
            return error;
        return std::nullopt;
    }

    switch (m_decoder.decode()) {
    case MpegFrameDecoder::Step::needFrame:
        m_needFrame = true;
        break;
    case MpegFrameDecoder::Step::newFormat:
        return takeFormat();
    case MpegFrameDecoder::Step::decoded:
        ++m_framesDecoded;
        append(m_decoder.mono());
        break;
    case MpegFrameDecoder::Step::undecodable:
        // A frame libmpg123 cannot decode: skipped, with the decoder started afresh.
        if (m_damagedFrames++ == 0)
            m_firstDamageAt = m_seconds;
        if (auto error = m_decoder.restart())
            return error;
        m_needFrame = true;
        break;
    }
    return std::nullopt;
}

Status Mp3Decoder::feed(const MpegFrameScanner::Frame &frame)
{
    const auto info = InfoFrame::of(frame);
    if (m_framesFed == 0) {
        if (info)
            m_announced.frames = info->announcedFrames;
        m_firstSampleRate = static_cast<int>(frame.header.sampleRate);
        m_firstSamplesPerFrame = frame.header.samplesPerFrame;
        if (auto error = m_decoder.start(frame.header, frame.bytes.size()))
            return error;
    } else {
        if (frame.junkBefore > 0) {
            if (m_junkPlaces++ == 0)
                m_firstJunkAt = m_seconds;
            m_junkBytes += frame.junkBefore;
        }
        // The LAME header of a file joined on: not audio.
        if (info)
            return std::nullopt;
    }
    if (auto error = m_decoder.feed(frame.bytes))
        return error;
    ++m_framesFed;
    m_needFrame = false;
    return std::nullopt;
}

Status Mp3Decoder::takeFormat()
{
    const auto format = m_decoder.format();
    if (!format.ok())
        return format.error();
    const int rate = format.value().sampleRate;
    const int channels = format.value().channels;

    if (m_sampleRate == 0) {
        // The first frame's format: the LAME header, if any, has been read by now.
        m_announced.delay = m_decoder.encoderDelay();
        m_announced.padding = m_decoder.encoderPadding();
        const GaplessCuts cuts = GaplessCuts::of(m_announced.frames, m_announced.delay, m_announced.padding);
        m_skipLeft = static_cast<std::int64_t>(cuts.start);
        m_holdBack = static_cast<std::size_t>(cuts.end);
        m_readyRate = rate;
    } else if (rate != m_sampleRate || channels != m_channels) {
        if (m_formatChanges++ == 0) {
            m_firstFormatChange = "the stream changes from " + formatText(m_sampleRate, m_channels) + " to "
                                  + formatText(rate, channels) + " at " + secondsText(m_seconds);
        }
        // What is held back was decoded at the old rate: it goes out before the new rate's audio.
        if (rate != m_sampleRate) {
            release(m_held.size());
            m_holdBack = 0;
        }
    }
    m_sampleRate = rate;
    m_channels = channels;
    return std::nullopt;
}

void Mp3Decoder::append(std::span<const float> mono)
{
    const auto skipped = static_cast<std::size_t>(std::min<std::int64_t>(m_skipLeft, static_cast<std::int64_t>(mono.size())));
    m_skipLeft -= static_cast<std::int64_t>(skipped);
    m_held.insert(m_held.end(), mono.begin() + static_cast<std::ptrdiff_t>(skipped), mono.end());
    m_seconds += static_cast<double>(mono.size() - skipped) / m_sampleRate;
    if (m_held.size() > m_holdBack)
        release(m_held.size() - m_holdBack);
}

void Mp3Decoder::release(std::size_t count)
{
    if (m_ready.empty())
        m_readyRate = m_sampleRate;
    m_ready.insert(m_ready.end(), m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(count));
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(count));
}

void Mp3Decoder::finish()
{
    m_ended = true;
    // The padding at the end is only where the LAME header says when the stream is the
    // one it describes. What is held back is that padding (none after a change of rate).
    if (m_announced.frames == m_framesDecoded && !m_held.empty()) {
        const std::size_t cut = std::min(m_holdBack, m_held.size());
        m_held.resize(m_held.size() - cut);
        m_seconds -= static_cast<double>(cut) / m_sampleRate;
    }
    release(m_held.size());
}

std::vector<std::string> Mp3Decoder::warnings() const
{
    std::vector<std::string> lines;
    const std::string junk = "skipped " + std::to_string(m_junkBytes) + " bytes of junk";
    if (m_junkPlaces == 1)
        lines.push_back(junk + " at " + secondsText(m_firstJunkAt));
    else if (m_junkPlaces > 1)
        lines.push_back(junk + " in " + std::to_string(m_junkPlaces) + " places, the first at " + secondsText(m_firstJunkAt));
    if (m_damagedFrames == 1)
        lines.push_back("skipped a frame that could not be decoded at " + secondsText(m_firstDamageAt));
    else if (m_damagedFrames > 1)
        lines.push_back("skipped " + std::to_string(m_damagedFrames) + " frames that could not be decoded, the first at "
                        + secondsText(m_firstDamageAt));

    const bool announcesMore = m_announced.frames > m_framesDecoded;
    const std::string announced = "its LAME header announces " + secondsText(announcedSeconds());
    if (m_scanner.end().cutFrame) {
        lines.push_back("it is truncated: the last frame, at " + secondsText(m_seconds) + ", is cut short"
                        + (announcesMore ? " (" + announced + ")" : ""));
    } else if (m_announced.frames >= 0 && m_announced.frames != m_framesDecoded) {
        lines.push_back((announcesMore ? "it is truncated: the audio ends at " : "the audio runs on to ")
                        + secondsText(m_seconds) + " but " + announced);
    }

    if (m_formatChanges == 1)
        lines.push_back(m_firstFormatChange);
    else if (m_formatChanges > 1)
        lines.push_back(m_firstFormatChange + ", and " + std::to_string(m_formatChanges - 1) + " more times");
    return lines;
}

double Mp3Decoder::announcedSeconds() const
{
    const std::int64_t samples = m_announced.frames * m_firstSamplesPerFrame - std::max(0L, m_announced.delay)
                                 - std::max(0L, m_announced.padding);
    return static_cast<double>(samples) / m_firstSampleRate;
}
