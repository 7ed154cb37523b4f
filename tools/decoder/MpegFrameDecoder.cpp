// Wraps mpg123_feed and mpg123_decode_frame, and mixes what they decode.

#include "MpegFrameDecoder.h"

#include <mpg123.h>

#include <bit>
#include <cstdint>

using audio::Error;
using audio::Status;

namespace {

// Mixes the interleaved `samples` of `channels` channels (fixed at compile time unless
// `fixedChannels` is 0) into `mono`, with equal weight; a sample that is not a number
// counts as silence.
template <std::size_t fixedChannels>
void mixDown(std::span<const float> samples, std::size_t channels, float *mono)
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

} // namespace

void MpegFrameDecoder::Delete::operator()(mpg123_handle *handle) const
{
    mpg123_delete(handle);
}

audio::Result<MpegFrameDecoder> MpegFrameDecoder::create()
{
    int code = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &code);
    if (!handle)
        return Error{std::string("cannot start the MP3 decoder: ") + mpg123_plain_strerror(code)};
    MpegFrameDecoder decoder(handle);

    // Whole frames are fed, so libmpg123 need not look ahead for the next one. No gapless
    // decoding of its own. Float output at the stream's own rate and channel count.
    const long flags = MPG123_NO_READAHEAD | MPG123_FORCE_FLOAT | MPG123_QUIET;
    if (mpg123_param(handle, MPG123_FLAGS, flags, 0) != MPG123_OK || mpg123_format_none(handle) != MPG123_OK)
        return decoder.failure("cannot set up the MP3 decoder");
    const long *rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK)
            return decoder.failure("cannot set up the MP3 decoder");
    }
    return decoder;
}

Error MpegFrameDecoder::failure(const char *action) const
{
    return Error{std::string(action) + ": " + mpg123_strerror(m_handle.get())};
}

Status MpegFrameDecoder::start(const MpegFrameHeader &header, std::size_t frameBytes)
{
    if (header.bitrateIndex == 0) {
        const auto length = static_cast<double>(frameBytes - 4 - header.paddingBytes());
        if (mpg123_param(m_handle.get(), MPG123_FREEFORMAT_SIZE, static_cast<long>(length), length) != MPG123_OK)
            return failure("cannot set up the MP3 decoder");
    }
    if (mpg123_open_feed(m_handle.get()) != MPG123_OK)
        return failure("cannot start the MP3 decoder");
    return std::nullopt;
}

Status MpegFrameDecoder::restart()
{
    if (mpg123_open_feed(m_handle.get()) != MPG123_OK)
        return failure("cannot restart the MP3 decoder");
    return std::nullopt;
}

Status MpegFrameDecoder::feed(std::span<const unsigned char> frame)
{
    if (mpg123_feed(m_handle.get(), frame.data(), frame.size()) != MPG123_OK)
        return failure("cannot decode it");
    return std::nullopt;
}

MpegFrameDecoder::Step MpegFrameDecoder::decode()
{
    off_t frameNumber = 0;
    unsigned char *decoded = nullptr;
    std::size_t bytes = 0;
    const int code = mpg123_decode_frame(m_handle.get(), &frameNumber, &decoded, &bytes);
    if (code == MPG123_NEED_MORE)
        return Step::needFrame;
    if (code == MPG123_NEW_FORMAT) {
        long rate = 0;
        int encoding = 0;
        mpg123_getformat(m_handle.get(), &rate, &m_channels, &encoding);
        return Step::newFormat;
    }
    if (code != MPG123_OK)
        return Step::undecodable;

    // libmpg123 decoded 32-bit floats into the buffer, aligned for them.
    const auto channels = static_cast<std::size_t>(m_channels);
    const std::span samples(reinterpret_cast<const float *>(decoded), bytes / sizeof(float));
    m_mono.resize(samples.size() / channels);
    // Written out for one and two channels, so that the compiler vectorises the loop; the
    // sums are the same as in the loop for any count.
    if (channels == 1)
        mixDown<1>(samples, channels, m_mono.data());
    else if (channels == 2)
        mixDown<2>(samples, channels, m_mono.data());
    else
        mixDown<0>(samples, channels, m_mono.data());
    return Step::decoded;
}

audio::Result<MpegFrameDecoder::Format> MpegFrameDecoder::format() const
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        return failure("cannot decode it");
    if (encoding != MPG123_ENC_FLOAT_32)
        return Error{"the MP3 decoder did not agree to deliver 32-bit float samples"};
    return Format{static_cast<int>(rate), channels};
}

long MpegFrameDecoder::encoderDelay() const
{
    long delay = -1;
    double unused = 0;
    mpg123_getstate(m_handle.get(), MPG123_ENC_DELAY, &delay, &unused);
    return delay;
}

long MpegFrameDecoder::encoderPadding() const
{
    long padding = -1;
    double unused = 0;
    mpg123_getstate(m_handle.get(), MPG123_ENC_PADDING, &padding, &unused);
    return padding;
}
