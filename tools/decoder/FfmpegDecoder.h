#pragma once

// Decodes the audio of every other format through FFmpeg's libraries: WAV, FLAC, Ogg
// Vorbis, Opus, AAC and M4A, and the sound track of video files (MP4, Matroska, WebM,
// AVI). libavformat finds the format by content (the file's name is never shown to it)
// and picks the main audio stream; libavcodec decodes it, applying the encoder delay that
// the container announces. Packets that cannot be decoded are skipped and reported.

#include "AudioSource.h"

#include <cstdint>
#include <istream>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;

class FfmpegDecoder : public AudioSource {
public:
    static audio::Result<std::unique_ptr<AudioSource>> open(std::unique_ptr<std::istream> in);

    audio::Result<AudioBlock> read() override;
    std::vector<std::string> warnings() const override;

private:
    explicit FfmpegDecoder(std::unique_ptr<std::istream> in) : m_in(std::move(in)) {}

    audio::Status start();
    // Hands the decoder the next packet of the audio stream, or the end of the stream.
    void sendPacket();
    // Mixes the decoded frame into m_mono; false when it holds no usable audio.
    bool mix();
    void noteDamage();

    static int readInput(void *opaque, unsigned char *buffer, int size);
    static std::int64_t seekInput(void *opaque, std::int64_t offset, int whence);

    // FFmpeg's own ways of freeing what it allocated.
    struct FreeIo {
        void operator()(AVIOContext *io) const;
    };
    struct CloseFormat {
        void operator()(AVFormatContext *format) const;
    };
    struct FreeCodec {
        void operator()(AVCodecContext *codec) const;
    };
    struct FreePacket {
        void operator()(AVPacket *packet) const;
    };
    struct FreeFrame {
        void operator()(AVFrame *frame) const;
    };

    // In the order they are set up: each is freed before those it uses.
    std::unique_ptr<std::istream> m_in;
    std::unique_ptr<AVIOContext, FreeIo> m_io;
    std::unique_ptr<AVFormatContext, CloseFormat> m_format;
    std::unique_ptr<AVCodecContext, FreeCodec> m_codec;
    std::unique_ptr<AVPacket, FreePacket> m_packet;
    std::unique_ptr<AVFrame, FreeFrame> m_frame;
    int m_stream = -1;
    bool m_draining = false;

    std::vector<float> m_mono;
    int m_sampleRate = 0;
    int m_channels = 0;
    double m_seconds = 0;

    int m_damagedPackets = 0;
    double m_firstDamageAt = 0;
    std::string m_readError;
    double m_readErrorAt = 0;
    int m_formatChanges = 0;
    std::string m_firstFormatChange;
};
