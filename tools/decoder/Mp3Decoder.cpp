// libmpg123 decoding into mono float blocks, with the checks that tell a complete MPEG
// stream from a broken one.

#include "Mp3Decoder.h"

#include <mpg123.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#endif

using audio::Error;
using audio::Status;

namespace {

#ifdef _WIN32

// Binary, or the C library would translate line ends; not inherited by child processes.
constexpr int openFlags = O_RDONLY | O_BINARY | O_NOINHERIT;

// Windows has no pread: seek, read, and seek back to where libmpg123 reads next.
ssize_t pread(int descriptor, void *buffer, std::size_t size, std::int64_t offset)
{
    const std::int64_t position = _telli64(descriptor);
    if (position < 0 || _lseeki64(descriptor, offset, SEEK_SET) < 0)
        return -1;
    const int count = _read(descriptor, buffer, static_cast<unsigned>(size));
    const int readError = errno;
    if (_lseeki64(descriptor, position, SEEK_SET) < 0)
        return -1;
    errno = readError;
    return count;
}

#else

constexpr int openFlags = O_RDONLY | O_CLOEXEC;

#endif

std::string describeFormat(long rate, int channels)
{
    return std::to_string(rate) + (channels == 1 ? " Hz mono" : " Hz stereo");
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

} // namespace

Mp3Decoder::Mp3Decoder(int descriptor, mpg123_handle *handle)
    : m_descriptor(descriptor), m_handle(handle)
{
}

Mp3Decoder::Mp3Decoder(Mp3Decoder &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)),
      m_handle(std::exchange(other.m_handle, nullptr)),
      m_sampleRate(other.m_sampleRate),
      m_channels(other.m_channels),
      m_announcedSamples(other.m_announcedSamples),
      m_samplesDecoded(other.m_samplesDecoded),
      m_lastFrameEnd(other.m_lastFrameEnd),
      m_mono(std::move(other.m_mono))
{
}

Mp3Decoder::~Mp3Decoder()
{
    if (m_handle)
        mpg123_delete(m_handle);
    if (m_descriptor >= 0)
        close(m_descriptor);
}

audio::Result<Mp3Decoder> Mp3Decoder::open(const std::string &path)
{
    const int descriptor = ::open(path.c_str(), openFlags);
    if (descriptor < 0)
        return Error{std::string("cannot open it: ") + std::strerror(errno)};
    struct stat status {};
    std::string problem;
    if (fstat(descriptor, &status) != 0)
        problem = std::string("cannot open it: ") + std::strerror(errno);
    else if (!S_ISREG(status.st_mode))
        problem = "it is not a file";
    else if (status.st_size == 0)
        problem = "it is empty";
    if (!problem.empty()) {
        close(descriptor);
        return Error{problem};
    }

    int code = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &code);
    if (!handle) {
        close(descriptor);
        return Error{std::string("cannot start the MP3 decoder: ") + mpg123_plain_strerror(code)};
    }
    Mp3Decoder decoder(descriptor, handle);
    if (auto error = decoder.start())
        return *error;
    return decoder;
}

Status Mp3Decoder::start()
{
    // No resync: junk between frames is damage, not something to skip over. Float output
    // at the stream's own rate and channel count leaves mixing and resampling to us.
    const long flags = MPG123_GAPLESS | MPG123_FORCE_FLOAT | MPG123_NO_RESYNC | MPG123_QUIET;
    if (mpg123_param(m_handle, MPG123_FLAGS, flags, 0) != MPG123_OK
        || mpg123_format_none(m_handle) != MPG123_OK) {
        return Error{std::string("cannot set up the MP3 decoder: ") + mpg123_strerror(m_handle)};
    }
    const long *rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        if (mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32)
            != MPG123_OK) {
            return Error{std::string("cannot set up the MP3 decoder: ") + mpg123_strerror(m_handle)};
        }
    }
    if (mpg123_open_fd(m_handle, m_descriptor) != MPG123_OK)
        return Error{std::string("cannot read it: ") + mpg123_strerror(m_handle)};

    int encoding = 0;
    const int code = mpg123_getformat(m_handle, &m_sampleRate, &m_channels, &encoding);
    if (code != MPG123_OK) {
        std::string reason = "it holds no MPEG audio (is it an MP3 file?)";
        if (code == MPG123_ERR)
            reason += std::string(": ") + mpg123_strerror(m_handle);
        return Error{reason};
    }
    if (encoding != MPG123_ENC_FLOAT_32)
        return Error{"the MP3 decoder did not agree to deliver 32-bit float samples"};

    // A LAME header announces the exact length; without one there is no length to trust.
    long encoderDelay = -1;
    double unused = 0;
    if (mpg123_getstate(m_handle, MPG123_ENC_DELAY, &encoderDelay, &unused) == MPG123_OK
        && encoderDelay >= 0) {
        m_announcedSamples = mpg123_length(m_handle);
    }
    return std::nullopt;
}

audio::Result<std::span<const float>> Mp3Decoder::read()
{
    for (;;) {
        off_t frameNumber = 0;
        unsigned char *decoded = nullptr;
        std::size_t bytes = 0;
        const int code = mpg123_decode_frame(m_handle, &frameNumber, &decoded, &bytes);
        if (code == MPG123_NEW_FORMAT) {
            if (auto error = checkFormat())
                return *error;
        } else if (code == MPG123_DONE) {
            if (auto error = checkComplete())
                return *error;
            return std::span<const float>();
        } else if (code != MPG123_OK) {
            // Players stop quietly at junk after the last frame (zero padding, a Lyrics3
            // tag); only junk with more audio behind it is damage.
            if (mpg123_errcode(m_handle) != MPG123_OUT_OF_SYNC || frameHeaderFollows())
                return damaged();
            if (auto error = checkComplete())
                return *error;
            return std::span<const float>();
        }
        if (auto error = checkFrame())
            return *error;
        if (bytes > 0) {
            mix(decoded, bytes);
            return std::span<const float>(m_mono);
        }
    }
}

void Mp3Decoder::mix(const unsigned char *decoded, std::size_t bytes)
{
    const std::size_t frames = bytes / (sizeof(float) * m_channels);
    m_mono.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (int channel = 0; channel < m_channels; ++channel) {
            float sample;
            std::memcpy(&sample, decoded + (i * m_channels + channel) * sizeof sample, sizeof sample);
            sum += sample;
        }
        m_mono[i] = sum / static_cast<float>(m_channels);
    }
    m_samplesDecoded += static_cast<std::int64_t>(frames);
}

Status Mp3Decoder::checkFormat()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
        return damaged();
    return checkSameFormat(rate, channels);
}

// libmpg123 goes on decoding after the rate or the channel count of a stream changes,
// in the output format it started with, which would play the rest at the wrong speed.
Status Mp3Decoder::checkFrame()
{
    mpg123_frameinfo2 info{};
    const off_t position = mpg123_framepos(m_handle);
    if (position < 0 || mpg123_info(m_handle, &info) != MPG123_OK)
        return damaged();
    m_lastFrameEnd = position + info.framesize;
    return checkSameFormat(info.rate, info.mode == MPG123_M_MONO ? 1 : 2);
}

Status Mp3Decoder::checkSameFormat(long rate, int channels) const
{
    if (rate == m_sampleRate && channels == m_channels)
        return std::nullopt;
    return Error{"the stream changes from " + describeFormat(m_sampleRate, m_channels) + " to "
                 + describeFormat(rate, channels) + " at " + seconds(secondsDecoded())
                 + "; files joined from different sources are not supported"};
}

Status Mp3Decoder::checkComplete() const
{
    if (m_samplesDecoded == 0)
        return Error{"it holds no MPEG audio (is it an MP3 file?)"};
    if (m_announcedSamples > m_samplesDecoded) {
        return Error{"it is truncated: the audio ends at " + seconds(secondsDecoded())
                     + " but its LAME header announces "
                     + seconds(static_cast<double>(m_announcedSamples) / m_sampleRate)};
    }
    // A frame header right after the last frame decoded is a frame cut short.
    unsigned char next[2] = {};
    const ssize_t count = pread(m_descriptor, next, sizeof next, m_lastFrameEnd);
    if (count < 0)
        return Error{std::string("cannot read it: ") + std::strerror(errno)};
    if (count >= 1 && next[0] == 0xFF && (count == 1 || (next[1] & 0xE0) == 0xE0))
        return Error{"it is truncated: the last frame, at " + seconds(secondsDecoded()) + ", is cut short"};
    return std::nullopt;
}

namespace {

// The first four bytes of a plausible MPEG audio frame: the sync bits, then no reserved
// version, layer, bit rate or sample rate.
bool isFrameHeader(const unsigned char *bytes)
{
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0 && (bytes[1] & 0x18) != 0x08
        && (bytes[1] & 0x06) != 0 && (bytes[2] & 0xF0) != 0xF0 && (bytes[2] & 0x0C) != 0x0C;
}

} // namespace

bool Mp3Decoder::frameHeaderFollows() const
{
    constexpr std::size_t headerSize = 4;
    std::vector<unsigned char> block(64 * 1024);
    for (off_t offset = m_lastFrameEnd;;) {
        const ssize_t count = pread(m_descriptor, block.data(), block.size(), offset);
        if (count < static_cast<ssize_t>(headerSize))
            return count < 0;
        for (std::size_t i = 0; i + headerSize <= static_cast<std::size_t>(count); ++i) {
            if (isFrameHeader(&block[i]))
                return true;
        }
        // The last bytes are looked at again with the next block, in case a header
        // straddles the two.
        offset += count - static_cast<ssize_t>(headerSize - 1);
    }
}

Error Mp3Decoder::damaged() const
{
    return Error{"the MPEG stream is damaged at " + seconds(secondsDecoded()) + ": "
                 + mpg123_strerror(m_handle)};
}

double Mp3Decoder::secondsDecoded() const
{
    return m_sampleRate > 0 ? static_cast<double>(m_samplesDecoded) / m_sampleRate : 0.0;
}
