// The frames one by one through the scanner; the first ones through libmpg123 as well, up
// to the stream's format, by which time it has read the LAME header's delay and padding.

#include "Mp3Survey.h"

#include "ContentProbe.h"
#include "FileSystemPath.h"
#include "GaplessCuts.h"
#include "InfoFrame.h"
#include "MpegFrameDecoder.h"
#include "MpegFrameScanner.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace {

// Frames a run decodes before the first one whose samples it needs, for a stream of
// frames like `frame`.
std::uint64_t primingFramesFor(const MpegFrameScanner::Frame &frame)
{
    // The frame before, whose synthesis the needed one continues, and one to spare.
    constexpr std::uint64_t settling = 2;
    if (frame.header.layer != 3)
        return settling;
    // A layer III frame's main data may start this many bytes back in the frames before it
    // (the bit reservoir), as far back as the frames at the lowest bit rate reach.
    const std::uint64_t reservoir = frame.header.version == MpegFrameHeader::Version::mpeg1 ? 511 : 255;
    const std::array<unsigned char, 4> lowest{frame.bytes[0], frame.bytes[1],
                                              static_cast<unsigned char>((frame.bytes[2] & 0x0D) | 0x10), frame.bytes[3]};
    const auto smallest = MpegFrameHeader::parse(lowest.data());
    const std::uint64_t mainData = smallest->frameBytes - smallest->mainDataStart();
    return (reservoir + mainData - 1) / mainData + settling;
}

bool sameFormat(const MpegFrameHeader &header, const MpegFrameHeader &format)
{
    return header.continues(format) && header.channels == format.channels && header.bitrateIndex != 0;
}

} // namespace

std::optional<Mp3Survey> Mp3Survey::of(const std::string &path)
{
    // The runs read the file again, each its own part: only a file can be read so.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileSystemPath(path), error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const auto probe = ContentProbe::of(in);
    if (!probe.ok() || probe.value().kind != ContentProbe::Kind::mpegAudio)
        return std::nullopt;
    auto decoder = MpegFrameDecoder::create();
    if (!decoder.ok())
        return std::nullopt;

    Mp3Survey survey;
    MpegFrameScanner scanner(in);
    std::int64_t announcedFrames = -1;
    bool formatKnown = false;
    long delay = -1;
    long padding = -1;
    std::uint64_t frameEnd = 0;
    for (bool first = true;; first = false) {
        const auto next = scanner.next();
        if (!next.ok())
            return std::nullopt;
        if (!next.value())
            break;
        const MpegFrameScanner::Frame &frame = *next.value();
        const auto info = InfoFrame::of(frame);
        if (first) {
            if (info)
                announcedFrames = info->announcedFrames;
            if (decoder.value().start(frame.header, frame.bytes.size()))
                return std::nullopt;
        } else if (frame.offset != frameEnd || info) {
            // Junk or a tag between frames, or the LAME header of a file joined on.
            return std::nullopt;
        }
        frameEnd = frame.offset + frame.bytes.size();

        // libmpg123 gets the frames Mp3Decoder gives it until it names the format.
        if (!formatKnown) {
            if (decoder.value().feed(frame.bytes))
                return std::nullopt;
            for (auto step = decoder.value().decode(); step != MpegFrameDecoder::Step::needFrame;
                 step = decoder.value().decode()) {
                if (step != MpegFrameDecoder::Step::newFormat)
                    return std::nullopt;
                formatKnown = true;
                delay = decoder.value().encoderDelay();
                padding = decoder.value().encoderPadding();
                break;
            }
        }
        if (first && info)
            continue;

        if (survey.m_audioFrames == 0) {
            survey.m_format = frame.header;
            survey.m_primingFrames = primingFramesFor(frame);
        }
        if (!sameFormat(frame.header, survey.m_format))
            return std::nullopt;
        if (survey.m_audioFrames % checkpointSpacing == 0)
            survey.m_checkpoints.push_back(frame.offset);
        ++survey.m_audioFrames;
    }
    if (scanner.end().cutFrame || !formatKnown || survey.m_audioFrames == 0)
        return std::nullopt;
    const auto frames = static_cast<std::int64_t>(survey.m_audioFrames);
    if (announcedFrames >= 0 && announcedFrames != frames)
        return std::nullopt;

    // The cuts Mp3Decoder makes, for a stream that has the frames its header announces.
    survey.m_cuts = GaplessCuts::of(announcedFrames, delay, padding);
    if (survey.m_cuts.start + survey.m_cuts.end >= survey.m_audioFrames * survey.m_format.samplesPerFrame)
        return std::nullopt;
    return survey;
}

std::uint64_t Mp3Survey::samples() const
{
    return m_audioFrames * static_cast<std::uint64_t>(m_format.samplesPerFrame) - m_cuts.start - m_cuts.end;
}

Mp3Survey::Checkpoint Mp3Survey::checkpointBefore(std::uint64_t frame) const
{
    const std::uint64_t index = frame / checkpointSpacing;
    return Checkpoint{index * checkpointSpacing, m_checkpoints[index]};
}
