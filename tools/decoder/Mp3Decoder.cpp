// libmpg123 in feed mode, one scanned frame at a time, with our own gapless cuts.

#include "Mp3Decoder.h"

#include "WarningText.h"

#include <mpg123.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>
#include <utility>

using audio::Error;
using audio::Status;

namespace {

// libmpg123's synthesis delays layer III output by this many samples.
constexpr long decoderDelay = 529;

std::uint32_t bigEndian32(const unsigned char *bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

// Where a LAME/Xing header's tag sits in a layer III frame: after the side information,
// which is all zero in such a frame. 0 when the frame is audio.
std::size_t infoTagAt(const MpegFrameScanner::Frame &frame)
{
    const MpegFrameHeader &header = frame.header;
    if (header.layer != 3)
        return 0;
    const bool mpeg1 = header.version == MpegFrameHeader::Version::mpeg1;
    const std::size_t sideInformation = header.channels == 2 ? (mpeg1 ? 32 : 17) : (mpeg1 ? 17 : 9);
    const std::size_t tag = 4 + (header.crc ? 2 : 0) + sideInformation;
    const auto bytes = frame.bytes;
    if (bytes.size() < tag + 8)
        return 0;
    const bool zeros = std::all_of(bytes.begin() + 4 + (header.crc ? 2 : 0), bytes.begin() + static_cast<std::ptrdiff_t>(tag),
                                   [](unsigned char byte) { return byte == 0; });
    const bool named = std::memcmp(&bytes[tag], "Info", 4) == 0 || std::memcmp(&bytes[tag], "Xing", 4) == 0;
    return zeros && named ? tag : 0;
}

// The number of audio frames a LAME/Xing header counts; -1 when it does not say.
std::int64_t announcedFrames(const MpegFrameScanner::Frame &frame, std::size_t tag)
{
    if (frame.bytes.size() < tag + 12 || !(bigEndian32(&frame.bytes[tag + 4]) & 0x1))
        return -1;
    return bigEndian32(&frame.bytes[tag + 8]);
}

// Mixes the interleaved `samples` of `channels` channels (fixed at compile time unless
// `fixedChannels` is 0) into `mono`, with equal weight; a sample that is not a number
// counts as silence.
template <std::size_t fixedChannels>
void mixDownFrames(std::span<const float> samples, std::size_t channels, float *mono)
{
    if constexpr (fixedChannels > 0)
        channels = fixedChannels;
    const std::size_t frames = samples.size() / channels;
    const auto divisor = static_cast<float>(channels);
    for (std::size_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (std::size_t channel = 0; channel < channels; ++channel) {
            // Without a branch, so that the loop vectorises: all exponent bits set is
            // infinity or not a number, which the mask turns into +0.
            const auto bits = std::bit_cast<std::uint32_t>(samples[i * channels + channel]);
            const std::uint32_t mask = (bits & 0x7F800000u) == 0x7F800000u ? 0u : 0xFFFFFFFFu;
            sum += std::bit_cast<float>(bits & mask);
        }
        mono[i] = sum / divisor;
    }
}

std::string libraryError(const char *action, mpg123_handle *handle)
{
    return std::string(action) + ": " + mpg123_strerror(handle);
}

} // namespace

Mp3Decoder::Mp3Decoder(std::unique_ptr<std::istream> in, mpg123_handle *handle)
    : m_in(std::move(in)), m_scanner(*m_in), m_handle(handle)
{
}

Mp3Decoder::~Mp3Decoder()
{
    mpg123_delete(m_handle);
}

audio::Result<std::unique_ptr<Mp3Decoder>> Mp3Decoder::open(std::unique_ptr<std::istream> in)
{
    int code = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &code);
    if (!handle)
        return Error{std::string("cannot start the MP3 decoder: ") + mpg123_plain_strerror(code)};
    std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(std::move(in), handle));

    // Whole frames are fed, so libmpg123 need not look ahead for the next one. No gapless
    // decoding of its own: it would end the audio where the LAME header says. Float output
    // at the stream's own rate and channel count leaves mixing and resampling to us.
    const long flags = MPG123_NO_READAHEAD | MPG123_FORCE_FLOAT | MPG123_QUIET;
    if (mpg123_param(handle, MPG123_FLAGS, flags, 0) != MPG123_OK || mpg123_format_none(handle) != MPG123_OK)
        return Error{libraryError("cannot set up the MP3 decoder", handle)};
    const long *rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK)
            return Error{libraryError("cannot set up the MP3 decoder", handle)};
    }
    return decoder;
}

audio::Result<AudioBlock> Mp3Decoder::read()
{
    while (m_ready.empty() && !m_ended) {
        if (auto error = step())
            return *error;
    }
    if (m_ready.empty() && m_seconds == 0)
        return Error{"it holds no MPEG audio (is it an MP3 file?)"};
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

    off_t frameNumber = 0;
    unsigned char *decoded = nullptr;
    std::size_t bytes = 0;
    const int code = mpg123_decode_frame(m_handle, &frameNumber, &decoded, &bytes);
    if (code == MPG123_NEED_MORE) {
        m_needFrame = true;
    } else if (code == MPG123_NEW_FORMAT) {
        return takeFormat();
    } else if (code == MPG123_OK) {
        ++m_framesDecoded;
        append(decoded, bytes);
    } else {
        // A frame libmpg123 cannot decode: skipped, with the decoder started afresh.
        if (m_damagedFrames++ == 0)
            m_firstDamageAt = m_seconds;
        if (mpg123_open_feed(m_handle) != MPG123_OK)
            return Error{libraryError("cannot restart the MP3 decoder", m_handle)};
        m_needFrame = true;
    }
    return std::nullopt;
}

Status Mp3Decoder::feed(const MpegFrameScanner::Frame &frame)
{
    const std::size_t infoTag = infoTagAt(frame);
    if (m_framesFed == 0) {
        if (infoTag > 0)
            m_announced.frames = announcedFrames(frame, infoTag);
        // libmpg123 can only be told a free-format stream's frame length up front.
        if (frame.header.bitrateIndex == 0) {
            const std::size_t padding = frame.header.padded ? (frame.header.layer == 1 ? 4 : 1) : 0;
            const auto length = static_cast<double>(frame.bytes.size() - 4 - padding);
            if (mpg123_param(m_handle, MPG123_FREEFORMAT_SIZE, static_cast<long>(length), length) != MPG123_OK)
                return Error{libraryError("cannot set up the MP3 decoder", m_handle)};
        }
        if (mpg123_open_feed(m_handle) != MPG123_OK)
            return Error{libraryError("cannot start the MP3 decoder", m_handle)};
    } else {
        if (frame.junkBefore > 0) {
            if (m_junkPlaces++ == 0)
                m_firstJunkAt = m_seconds;
            m_junkBytes += frame.junkBefore;
        }
        // The LAME header of a file joined on: not audio.
        if (infoTag > 0)
            return std::nullopt;
    }
    if (mpg123_feed(m_handle, frame.bytes.data(), frame.bytes.size()) != MPG123_OK)
        return Error{libraryError("cannot decode it", m_handle)};
    ++m_framesFed;
    m_samplesPerFrame = frame.header.samplesPerFrame;
    m_needFrame = false;
    return std::nullopt;
}

Status Mp3Decoder::takeFormat()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
        return Error{libraryError("cannot decode it", m_handle)};
    if (encoding != MPG123_ENC_FLOAT_32)
        return Error{"the MP3 decoder did not agree to deliver 32-bit float samples"};

    if (m_sampleRate == 0) {
        // The first frame's format: the LAME header, if any, has been read by now.
        double unused = 0;
        mpg123_getstate(m_handle, MPG123_ENC_DELAY, &m_announced.delay, &unused);
        mpg123_getstate(m_handle, MPG123_ENC_PADDING, &m_announced.padding, &unused);
        if (m_announced.delay >= 0)
            m_skipLeft = m_announced.delay + decoderDelay;
        else if (m_announced.frames >= 0)
            m_skipLeft = decoderDelay;
        if (m_announced.frames >= 0 && m_announced.padding > decoderDelay)
            m_holdBack = static_cast<std::size_t>(m_announced.padding - decoderDelay);
        m_readyRate = static_cast<int>(rate);
        m_firstSampleRate = static_cast<int>(rate);
        m_firstSamplesPerFrame = m_samplesPerFrame;
    } else if (rate != m_sampleRate || channels != m_channels) {
        if (m_formatChanges++ == 0) {
            m_firstFormatChange = "the stream changes from " + formatText(m_sampleRate, m_channels) + " to "
                                  + formatText(static_cast<int>(rate), channels) + " at " + secondsText(m_seconds);
        }
        // What is held back was decoded at the old rate: it goes out before the new rate's audio.
        if (rate != m_sampleRate) {
            release(m_held.size());
            m_holdBack = 0;
        }
    }
    m_sampleRate = static_cast<int>(rate);
    m_channels = channels;
    return std::nullopt;
}

void Mp3Decoder::append(const unsigned char *decoded, std::size_t bytes)
{
    const auto channels = static_cast<std::size_t>(m_channels);
    const std::size_t frames = bytes / (sizeof(float) * channels);
    const std::size_t skipped = static_cast<std::size_t>(std::min<std::int64_t>(m_skipLeft, static_cast<std::int64_t>(frames)));
    m_skipLeft -= static_cast<std::int64_t>(skipped);
    // libmpg123 decoded 32-bit floats into the buffer, aligned for them.
    const std::span samples(reinterpret_cast<const float *>(decoded) + skipped * channels, (frames - skipped) * channels);
    const std::size_t first = m_held.size();
    m_held.resize(first + frames - skipped);
    // Written out for one and two channels, so that the compiler vectorises the loop; the
    // sums are the same as in the loop for any count.
    if (channels == 1)
        mixDownFrames<1>(samples, channels, m_held.data() + first);
    else if (channels == 2)
        mixDownFrames<2>(samples, channels, m_held.data() + first);
    else
        mixDownFrames<0>(samples, channels, m_held.data() + first);
    m_seconds += static_cast<double>(frames - skipped) / m_sampleRate;
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
    // one it describes.
    if (m_announced.frames == m_framesDecoded && m_announced.delay >= 0) {
        const std::int64_t kept = m_framesDecoded * m_samplesPerFrame - m_announced.delay - decoderDelay;
        const std::int64_t music = m_framesDecoded * m_samplesPerFrame - m_announced.delay - m_announced.padding;
        const auto cut = static_cast<std::size_t>(std::clamp<std::int64_t>(kept - music, 0, static_cast<std::int64_t>(m_held.size())));
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
        lines.push_back((announcesMore ? "the audio ends at " : "the audio runs on to ") + secondsText(m_seconds)
                        + " but " + announced);
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
