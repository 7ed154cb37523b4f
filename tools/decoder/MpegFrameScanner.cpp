// Frame by frame through the file, with a look ahead of a few frames to tell a stream
// from junk that happens to hold a frame header.

#include "MpegFrameScanner.h"

#include "Id3v2Tag.h"
#include "InfoFrame.h"

#include <algorithm>
#include <cstring>

using audio::Error;
using audio::Result;

namespace {

// Small enough that the runs' scanners, one per thread, hold little.
constexpr std::size_t readBlock = 16 * 1024;

bool startsWith(const unsigned char *bytes, std::size_t count, const char *text)
{
    const std::size_t length = std::strlen(text);
    return count >= length && std::memcmp(bytes, text, length) == 0;
}

std::uint32_t littleEndian32(const unsigned char *bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A free-format frame is as long as the distance to the next header of the same kind: the
// same version, layer, bit rate index (0), sample rate and channel mode.
bool sameFreeFormatKind(const unsigned char *first, const unsigned char *second)
{
    return second[0] == first[0] && (second[1] & 0xFE) == (first[1] & 0xFE)
           && (second[2] & 0xFC) == (first[2] & 0xFC) && (second[3] & 0xC0) == (first[3] & 0xC0);
}

// How far back into the frames before it a layer III frame's main data starts, in bytes.
std::size_t mainDataBegin(const unsigned char *frame, const MpegFrameHeader &header)
{
    const unsigned char *side = frame + 4 + (header.crc ? 2 : 0);
    if (header.version == MpegFrameHeader::Version::mpeg1)
        return (std::size_t{side[0]} << 1) | (side[1] >> 7);
    return side[0];
}

} // namespace

MpegFrameScanner::MpegFrameScanner(std::istream &in)
    : m_in(in)
{
    const std::streamoff start = in.tellg();
    m_bufferOffset = start > 0 ? static_cast<std::uint64_t>(start) : 0;
    m_position = m_bufferOffset;
    m_lastFrameEnd = m_position;
}

Result<std::size_t> MpegFrameScanner::fill(std::uint64_t offset, std::size_t count)
{
    std::uint64_t bufferEnd = m_bufferOffset + m_buffer.size();
    if (offset > bufferEnd && !m_endOfFile) {
        // Step over what nobody needs to see, such as a large tag, without keeping it.
        m_buffer.clear();
        m_in.ignore(static_cast<std::streamsize>(offset - bufferEnd));
        const auto skipped = static_cast<std::uint64_t>(m_in.gcount());
        m_bufferOffset = bufferEnd + skipped;
        bufferEnd = m_bufferOffset;
        if (bufferEnd < offset) {
            if (m_in.bad())
                return Error{"cannot read it"};
            m_endOfFile = true;
        }
    }
    const std::uint64_t wanted = offset + count;
    while (bufferEnd < wanted && !m_endOfFile) {
        const std::size_t kept = m_buffer.size();
        const std::size_t block = std::max<std::size_t>(readBlock, static_cast<std::size_t>(wanted - bufferEnd));
        m_buffer.resize(kept + block);
        m_in.read(reinterpret_cast<char *>(m_buffer.data() + kept), static_cast<std::streamsize>(block));
        const auto got = static_cast<std::size_t>(m_in.gcount());
        m_buffer.resize(kept + got);
        bufferEnd += got;
        if (got < block) {
            if (m_in.bad())
                return Error{"cannot read it"};
            m_endOfFile = true;
        }
    }
    return offset >= bufferEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, bufferEnd - offset));
}

void MpegFrameScanner::forgetBefore(std::uint64_t offset)
{
    // In steps, so that the bytes kept are not moved for every frame.
    if (offset <= m_bufferOffset)
        return;
    const std::uint64_t unneeded = std::min<std::uint64_t>(offset - m_bufferOffset, m_buffer.size());
    if (unneeded < readBlock)
        return;
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(unneeded));
    m_bufferOffset += unneeded;
}

Result<std::uint64_t> MpegFrameScanner::tagLength(std::uint64_t offset)
{
    const auto available = fill(offset, 128);
    if (!available.ok())
        return available.error();
    const std::size_t count = available.value();
    const unsigned char *bytes = at(offset);
    if (const std::uint64_t id3v2 = id3v2TagLength(std::span(bytes, count)))
        return id3v2;
    if (startsWith(bytes, count, "APETAGEX") && count >= 32) {
        // The size counts the items and the footer; a header says so in its flags.
        const bool isHeader = (littleEndian32(bytes + 20) & (1u << 29)) != 0;
        return isHeader ? 32 + std::uint64_t{littleEndian32(bytes + 12)} : 32;
    }
    if (startsWith(bytes, count, "TAG") && count == 128)
        return 128;
    return 0;
}

Result<std::optional<std::size_t>> MpegFrameScanner::frameLength(std::uint64_t offset, const MpegFrameHeader &header,
                                                                const Run &run)
{
    if (header.frameBytes > 0)
        return std::optional(header.frameBytes);
    if (run.freeFormatLength > 0 && run.last && header.continues(*run.last))
        return std::optional(header.freeFormatBytes(run.freeFormatLength));
    const auto available = fill(offset, MpegFrameHeader::maxFrameBytes + 4);
    if (!available.ok())
        return available.error();
    const unsigned char *bytes = at(offset);
    for (std::size_t distance = header.mainDataStart(); distance + 4 <= available.value(); ++distance) {
        if (sameFreeFormatKind(bytes, bytes + distance))
            return std::optional(distance);
    }
    return std::optional<std::size_t>();
}

MpegFrameScanner::Run MpegFrameScanner::extended(Run run, const MpegFrameHeader &header, std::size_t length)
{
    if (header.bitrateIndex == 0 && !(run.freeFormatLength > 0 && run.last && header.continues(*run.last)))
        run.freeFormatLength = length - header.paddingBytes();
    run.last = header;
    return run;
}

Result<bool> MpegFrameScanner::fitsAt(std::uint64_t offset, std::size_t length)
{
    const auto available = fill(offset, length);
    if (!available.ok())
        return available.error();
    return available.value() == length;
}

Result<bool> MpegFrameScanner::streamStartsAt(std::uint64_t offset)
{
    const auto available = fill(offset, 4);
    if (!available.ok())
        return available.error();
    const auto first = available.value() == 4 ? MpegFrameHeader::parse(at(offset)) : std::nullopt;
    if (!first)
        return false;
    const bool resumes = m_run.last && first->continues(*m_run.last);
    const int required = resumes ? framesToResume : framesToStart;
    // The chain is measured as next() will read it: as a continuation of the frames so far
    // when it resumes them.
    Run chain = resumes ? m_run : Run{};
    // Free format is easily mimicked by data with records of a fixed size. A free-format
    // stream that starts here must also have its main data within its own frames: the bit
    // reservoir of a real stream never reaches back before the stream's first frame.
    std::size_t reservoir = 0;
    bool announced = false;
    std::uint64_t position = offset;
    for (int count = 0; count < required; ++count) {
        // A shorter chain is believed where the file or a tag ends it, if it resumes the stream.
        const auto endsHere = [&]() -> Result<bool> {
            if (count == 0 || (m_run.last && !resumes))
                return false;
            const auto tag = tagLength(position);
            if (!tag.ok())
                return tag.error();
            const auto rest = fill(position, 1);
            if (!rest.ok())
                return rest.error();
            return tag.value() > 0 || rest.value() == 0;
        };
        const auto bytes = fill(position, 4);
        if (!bytes.ok())
            return bytes.error();
        if (announced && bytes.value() < 4)
            return true;
        const auto header = bytes.value() == 4 ? MpegFrameHeader::parse(at(position)) : std::nullopt;
        if (!header || (chain.last && !header->continues(*chain.last)))
            return endsHere();
        const auto length = frameLength(position, *header, chain);
        if (!length.ok())
            return length.error();
        if (!length.value())
            return endsHere();
        const auto fits = fitsAt(position, *length.value());
        if (!fits.ok())
            return fits.error();
        if (!fits.value())
            return count > 0 && announced;
        // A file's first stream that a LAME or Xing header starts is believed up to where the
        // file cuts its frames short, however early: the header is no chance match.
        if (count == 0 && !m_run.last)
            announced = InfoFrame::of(Frame{position, *header, std::span(at(position), *length.value()), 0}).has_value();
        if (header->bitrateIndex == 0 && !resumes) {
            if (mainDataBegin(at(position), *header) > reservoir)
                return false;
            reservoir += *length.value() - header->mainDataStart();
        }
        chain = extended(chain, *header, *length.value());
        position += *length.value();
    }
    return true;
}

Result<std::optional<MpegFrameScanner::Frame>> MpegFrameScanner::next()
{
    for (;;) {
        forgetBefore(m_position);
        const auto tag = tagLength(m_position);
        if (!tag.ok())
            return tag.error();
        if (tag.value() == 0)
            break;
        m_position += tag.value();
    }

    const auto accept = [&](std::uint64_t offset, const MpegFrameHeader &header, std::size_t length,
                            std::uint64_t junk) -> Result<std::optional<Frame>> {
        m_run = extended(m_run, header, length);
        m_position = offset + length;
        m_lastFrameEnd = m_position;
        return std::optional(Frame{offset, header, std::span(at(offset), length), junk});
    };
    const auto ended = [&](std::uint64_t trailing, bool cutFrame) -> Result<std::optional<Frame>> {
        m_end = End{m_lastFrameEnd, trailing, cutFrame};
        return std::optional<Frame>();
    };

    const auto available = fill(m_position, 4);
    if (!available.ok())
        return available.error();
    if (available.value() == 0)
        return ended(0, false);
    const auto header = available.value() == 4 ? MpegFrameHeader::parse(at(m_position)) : std::nullopt;
    if (header && m_run.last && header->continues(*m_run.last)) {
        const auto length = frameLength(m_position, *header, m_run);
        if (!length.ok())
            return length.error();
        const auto fits = length.value() ? fitsAt(m_position, *length.value()) : Result<bool>(false);
        if (!fits.ok())
            return fits.error();
        if (fits.value())
            return accept(m_position, *header, *length.value(), 0);
        // A frame of the stream that the file cuts short.
        const auto rest = fill(m_position, MpegFrameHeader::maxFrameBytes);
        if (!rest.ok())
            return rest.error();
        if (rest.value() < MpegFrameHeader::maxFrameBytes)
            return ended(rest.value(), true);
    } else if (header) {
        const auto starts = streamStartsAt(m_position);
        if (!starts.ok())
            return starts.error();
        if (starts.value()) {
            const auto length = frameLength(m_position, *header, Run{});
            if (!length.ok())
                return length.error();
            return accept(m_position, *header, *length.value(), 0);
        }
    }

    // Junk: look for the next place where a stream starts.
    for (std::uint64_t candidate = m_position + 1;;) {
        const auto more = fill(candidate, 4);
        if (!more.ok())
            return more.error();
        if (more.value() < 4)
            return ended(candidate + more.value() - m_position, false);
        const std::size_t searchable = static_cast<std::size_t>(m_bufferOffset + m_buffer.size() - candidate) - 3;
        const auto *sync = static_cast<const unsigned char *>(std::memchr(at(candidate), 0xFF, searchable));
        if (!sync) {
            candidate += searchable;
            forgetBefore(candidate);
            continue;
        }
        candidate += static_cast<std::uint64_t>(sync - at(candidate));
        if (const auto found = MpegFrameHeader::parse(sync)) {
            const auto starts = streamStartsAt(candidate);
            if (!starts.ok())
                return starts.error();
            if (starts.value()) {
                const bool resumes = m_run.last && found->continues(*m_run.last);
                const auto length = frameLength(candidate, *found, resumes ? m_run : Run{});
                if (!length.ok())
                    return length.error();
                return accept(candidate, *found, *length.value(), candidate - m_position);
            }
        }
        ++candidate;
        forgetBefore(candidate);
    }
}
