// Signatures at the start of the file (after an ID3v2 tag), then a look for MPEG frames.

#include "ContentProbe.h"

#include "Id3v2Tag.h"
#include "MpegFrameScanner.h"

#include <array>
#include <cstring>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

// How far into the file (past an ID3v2 tag) MPEG audio must start to be recognised.
constexpr std::size_t probeBytes = 64 * 1024;

bool has(const std::vector<unsigned char> &bytes, std::size_t at, std::string_view text)
{
    return bytes.size() >= at + text.size() && std::memcmp(bytes.data() + at, text.data(), text.size()) == 0;
}

struct Signature {
    std::size_t at;
    std::string_view text;
    std::size_t secondAt;
    std::string_view second;
    const char *name;
};

// The name of the first of `signatures` that `bytes` start with.
template <std::size_t count>
std::optional<std::string> signatureOf(const std::vector<unsigned char> &bytes, const std::array<Signature, count> &signatures)
{
    for (const Signature &signature : signatures) {
        if (has(bytes, signature.at, signature.text) && has(bytes, signature.secondAt, signature.second))
            return signature.name;
    }
    return std::nullopt;
}

// Files that are never audio, which users might pick by mistake.
std::optional<std::string> nonAudioAt(const std::vector<unsigned char> &bytes)
{
    static constexpr std::array signatures{
        Signature{0, "\x7F" "ELF"sv, 0, ""sv, "program"},
        Signature{0, "MZ"sv, 0, ""sv, "Windows program"},
        Signature{0, "\xCF\xFA\xED\xFE"sv, 0, ""sv, "program"},
        Signature{0, "%PDF"sv, 0, ""sv, "PDF document"},
        Signature{0, "PK\x03\x04"sv, 0, ""sv, "ZIP archive"},
        Signature{0, "\x1F\x8B"sv, 0, ""sv, "gzip archive"},
        Signature{0, "BZh"sv, 0, ""sv, "bzip2 archive"},
        Signature{0, "\xFD" "7zXZ"sv, 0, ""sv, "xz archive"},
        Signature{0, "7z\xBC\xAF"sv, 0, ""sv, "7-Zip archive"},
        Signature{0, "Rar!"sv, 0, ""sv, "RAR archive"},
        Signature{0, "\x89PNG"sv, 0, ""sv, "PNG picture"},
        Signature{0, "GIF8"sv, 0, ""sv, "GIF picture"},
        Signature{0, "\xFF\xD8\xFF"sv, 0, ""sv, "JPEG picture"},
        Signature{0, "\x00\x01\x00\x00\x00"sv, 0, ""sv, "font"},
        Signature{0, "OTTO"sv, 0, ""sv, "font"},
        Signature{0, "SQLite format 3"sv, 0, ""sv, "database"},
    };
    return signatureOf(bytes, signatures);
}

// The format a container signature names.
std::optional<std::string> containerAt(const std::vector<unsigned char> &bytes)
{
    static constexpr std::array signatures{
        Signature{0, "RIFF"sv, 8, "WAVE"sv, "WAV"},
        Signature{0, "RIFF"sv, 8, "AVI "sv, "AVI"},
        Signature{0, "RF64"sv, 8, "WAVE"sv, "WAV"},
        Signature{0, "BW64"sv, 8, "WAVE"sv, "WAV"},
        Signature{0, "FORM"sv, 8, "AIFF"sv, "AIFF"},
        Signature{0, "FORM"sv, 8, "AIFC"sv, "AIFF"},
        Signature{0, "fLaC"sv, 0, ""sv, "FLAC"},
        Signature{0, "OggS"sv, 0, ""sv, "Ogg"},
        Signature{4, "ftyp"sv, 0, ""sv, "MP4"},
        Signature{0, "\x1A\x45\xDF\xA3"sv, 0, ""sv, "Matroska or WebM"},
        Signature{0, "caff"sv, 0, ""sv, "CAF"},
        Signature{0, "#!AMR"sv, 0, ""sv, "AMR"},
        Signature{0, "wvpk"sv, 0, ""sv, "WavPack"},
        Signature{0, "MAC "sv, 0, ""sv, "Monkey's Audio"},
        Signature{0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv, 0, ""sv, "Windows Media"},
    };
    if (auto name = signatureOf(bytes, signatures))
        return name;
    // AAC in ADTS frames: the MPEG sync bits with the layer bits 00, which MPEG audio
    // leaves reserved.
    if (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xF6) == 0xF0)
        return "AAC";
    return std::nullopt;
}

// Up to `count` bytes from `offset`.
std::vector<unsigned char> readAt(std::istream &in, std::streamoff offset, std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    in.clear();
    in.seekg(offset);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(in ? count : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

} // namespace

audio::Result<ContentProbe> ContentProbe::of(std::istream &in)
{
    const std::streamoff start = in.tellg();
    std::vector<unsigned char> head = readAt(in, start, probeBytes);
    if (const std::uint64_t tag = id3v2TagLength(head))
        head = readAt(in, start + static_cast<std::streamoff>(tag), probeBytes);
    const bool unreadable = in.bad();
    in.clear();
    in.seekg(start);
    if (unreadable)
        return audio::Error{"cannot read it"};

    if (const auto container = containerAt(head))
        return ContentProbe{Kind::otherFormat, *container};
    if (const auto other = nonAudioAt(head))
        return ContentProbe{Kind::notAudio, *other};
    std::istringstream window(std::string(head.begin(), head.end()));
    MpegFrameScanner scanner(window);
    const auto frame = scanner.next();
    if (frame.ok() && frame.value())
        return ContentProbe{Kind::mpegAudio, "MPEG audio"};
    return ContentProbe{Kind::unknown, {}};
}
