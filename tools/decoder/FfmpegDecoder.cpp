// libavformat reads the file through our own I/O callbacks, so it sees only the bytes;
// libavcodec decodes; we mix every sample format FFmpeg decodes to into mono float.

#include "FfmpegDecoder.h"

#include "WarningText.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <cmath>
#include <cstdint>
#include <cstring>

using audio::Error;
using audio::Status;

namespace {

constexpr int ioBufferSize = 64 * 1024;
// Decoding errors in a row after which the stream is given up.
constexpr int damageInARowLimit = 1000;

std::string errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

template <typename T>
float sampleAt(const std::uint8_t *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return static_cast<float>(value);
}

// One sample of FFmpeg's format (in host order) as a float at full scale +-1.
float toFloat(const std::uint8_t *at, AVSampleFormat format)
{
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: return (static_cast<float>(*at) - 128.0f) / 128.0f;
    case AV_SAMPLE_FMT_S16: return sampleAt<std::int16_t>(at) / 32768.0f;
    case AV_SAMPLE_FMT_S32: return sampleAt<std::int32_t>(at) / 2147483648.0f;
    case AV_SAMPLE_FMT_S64: return sampleAt<std::int64_t>(at) / 9223372036854775808.0f;
    case AV_SAMPLE_FMT_FLT: return sampleAt<float>(at);
    case AV_SAMPLE_FMT_DBL: return sampleAt<double>(at);
    default: return 0;
    }
}

} // namespace

int FfmpegDecoder::readInput(void *opaque, unsigned char *buffer, int size)
{
    std::istream &in = *static_cast<FfmpegDecoder *>(opaque)->m_in;
    in.read(reinterpret_cast<char *>(buffer), size);
    const auto count = static_cast<int>(in.gcount());
    if (count > 0)
        return count;
    return in.bad() ? AVERROR(EIO) : AVERROR_EOF;
}

std::int64_t FfmpegDecoder::seekInput(void *opaque, std::int64_t offset, int whence)
{
    std::istream &in = *static_cast<FfmpegDecoder *>(opaque)->m_in;
    in.clear();
    if (whence & AVSEEK_SIZE) {
        const std::streamoff here = in.tellg();
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        in.seekg(here);
        return size >= 0 ? size : -1;
    }
    const int origin = whence & ~AVSEEK_FORCE;
    const auto direction = origin == SEEK_CUR ? std::ios::cur : origin == SEEK_END ? std::ios::end : std::ios::beg;
    in.seekg(offset, direction);
    return in ? static_cast<std::int64_t>(in.tellg()) : -1;
}

void FfmpegDecoder::FreeIo::operator()(AVIOContext *io) const
{
    av_freep(&io->buffer);
    avio_context_free(&io);
}

void FfmpegDecoder::CloseFormat::operator()(AVFormatContext *format) const
{
    avformat_close_input(&format);
}

void FfmpegDecoder::FreeCodec::operator()(AVCodecContext *codec) const
{
    avcodec_free_context(&codec);
}

void FfmpegDecoder::FreePacket::operator()(AVPacket *packet) const
{
    av_packet_free(&packet);
}

void FfmpegDecoder::FreeFrame::operator()(AVFrame *frame) const
{
    av_frame_free(&frame);
}

audio::Result<std::unique_ptr<AudioSource>> FfmpegDecoder::open(std::unique_ptr<std::istream> in)
{
    std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder(std::move(in)));
    if (auto error = decoder->start())
        return *error;
    return std::unique_ptr<AudioSource>(std::move(decoder));
}

Status FfmpegDecoder::start()
{
    // Problems are reported by us, in one line; FFmpeg's own log stays quiet.
    av_log_set_level(AV_LOG_QUIET);
    auto *buffer = static_cast<unsigned char *>(av_malloc(ioBufferSize));
    m_io.reset(buffer ? avio_alloc_context(buffer, ioBufferSize, 0, this, readInput, nullptr, seekInput) : nullptr);
    if (!m_io)
        av_free(buffer);
    m_format.reset(avformat_alloc_context());
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_io || !m_format || !m_packet || !m_frame)
        return Error{"not enough memory to decode it"};
    m_format->pb = m_io.get();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // An empty name: the format is told by the content alone. On failure the context is
    // freed and set to null.
    AVFormatContext *format = m_format.release();
    const int opened = avformat_open_input(&format, "", nullptr, nullptr);
    m_format.reset(format);
    if (opened < 0 || avformat_find_stream_info(m_format.get(), nullptr) < 0)
        return Error{"it holds no audio that this program can read (is it a music or video file?)"};

    const AVCodec *codec = nullptr;
    m_stream = av_find_best_stream(m_format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    const std::string container = m_format->iformat->long_name ? m_format->iformat->long_name : m_format->iformat->name;
    if (m_stream == AVERROR_STREAM_NOT_FOUND)
        return Error{"it is a " + container + " file without sound"};
    const AVCodecParameters *parameters = m_format->streams[m_stream < 0 ? 0 : m_stream]->codecpar;
    if (m_stream < 0 || !codec) {
        return Error{"its sound is coded as " + std::string(avcodec_get_name(parameters->codec_id))
                     + ", which this program cannot decode"};
    }
    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), parameters) < 0
        || avcodec_open2(m_codec.get(), codec, nullptr) < 0)
        return Error{"cannot start the " + std::string(codec->name) + " decoder for its sound"};
    return std::nullopt;
}

audio::Result<AudioBlock> FfmpegDecoder::read()
{
    for (int damageInARow = 0; damageInARow < damageInARowLimit;) {
        const int code = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (code == 0) {
            const bool usable = mix();
            av_frame_unref(m_frame.get());
            if (usable)
                return AudioBlock{m_mono, m_sampleRate};
            noteDamage();
            ++damageInARow;
        } else if (code == AVERROR(EAGAIN)) {
            sendPacket();
        } else if (code == AVERROR_EOF) {
            break;
        } else {
            noteDamage();
            ++damageInARow;
        }
    }
    if (m_seconds == 0)
        return Error{"it holds no sound that could be decoded"};
    return AudioBlock{{}, m_sampleRate};
}

void FfmpegDecoder::sendPacket()
{
    if (m_draining) {
        // The decoder asked for more after the end: nothing is left to give it.
        avcodec_send_packet(m_codec.get(), nullptr);
        return;
    }
    for (;;) {
        const int code = av_read_frame(m_format.get(), m_packet.get());
        if (code < 0) {
            if (code != AVERROR_EOF && m_readError.empty()) {
                m_readError = errorText(code);
                m_readErrorAt = m_seconds;
            }
            m_draining = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            return;
        }
        if (m_packet->stream_index != m_stream) {
            av_packet_unref(m_packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (sent < 0)
            noteDamage();
        return;
    }
}

bool FfmpegDecoder::mix()
{
    const auto format = static_cast<AVSampleFormat>(m_frame->format);
    const int channels = m_frame->ch_layout.nb_channels;
    const int bytes = av_get_bytes_per_sample(format);
    if (channels <= 0 || bytes <= 0 || m_frame->sample_rate <= 0 || m_frame->nb_samples <= 0)
        return false;

    if (m_sampleRate != 0 && (m_frame->sample_rate != m_sampleRate || channels != m_channels)) {
        if (m_formatChanges++ == 0) {
            m_firstFormatChange = "the sound changes from " + formatText(m_sampleRate, m_channels) + " to "
                                  + formatText(m_frame->sample_rate, channels) + " at " + secondsText(m_seconds);
        }
    }
    m_sampleRate = m_frame->sample_rate;
    m_channels = channels;

    const bool planar = av_sample_fmt_is_planar(format);
    const auto samples = static_cast<std::size_t>(m_frame->nb_samples);
    m_mono.assign(samples, 0.0f);
    for (int channel = 0; channel < channels; ++channel) {
        const std::uint8_t *data = planar ? m_frame->extended_data[channel] : m_frame->extended_data[0];
        const std::size_t step = static_cast<std::size_t>(bytes) * (planar ? 1 : static_cast<std::size_t>(channels));
        const std::size_t first = planar ? 0 : static_cast<std::size_t>(channel * bytes);
        for (std::size_t i = 0; i < samples; ++i) {
            const float sample = toFloat(data + first + i * step, format);
            m_mono[i] += std::isfinite(sample) ? sample : 0.0f;
        }
    }
    for (float &sample : m_mono)
        sample /= static_cast<float>(channels);
    m_seconds += static_cast<double>(samples) / m_sampleRate;
    return true;
}

void FfmpegDecoder::noteDamage()
{
    if (m_damagedPackets++ == 0)
        m_firstDamageAt = m_seconds;
}

std::vector<std::string> FfmpegDecoder::warnings() const
{
    std::vector<std::string> lines;
    if (m_damagedPackets == 1) {
        lines.push_back("skipped a damaged piece of its sound at " + secondsText(m_firstDamageAt));
    } else if (m_damagedPackets > 1) {
        lines.push_back("skipped " + std::to_string(m_damagedPackets) + " damaged pieces of its sound, the first at "
                        + secondsText(m_firstDamageAt));
    }
    if (!m_readError.empty())
        lines.push_back("its sound ends early, at " + secondsText(m_readErrorAt) + ": " + m_readError);
    if (m_formatChanges == 1)
        lines.push_back(m_firstFormatChange);
    else if (m_formatChanges > 1)
        lines.push_back(m_firstFormatChange + ", and " + std::to_string(m_formatChanges - 1) + " more times");
    return lines;
}
