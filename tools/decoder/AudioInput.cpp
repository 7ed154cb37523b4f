// The file's checks, the probe, and the choice of reader.

#include "AudioInput.h"

#include "ContentProbe.h"
#include "FileKind.h"
#include "FileSystemPath.h"
#include "FfmpegModule.h"
#include "Mp3Decoder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

using audio::Error;

audio::Result<std::unique_ptr<AudioSource>> openAudioFile(const std::string &path)
{
    if (const auto reason = audio::notAFile(path))
        return Error{*reason};
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in)
        return Error{std::string("cannot open it: ") + std::strerror(errno)};
    std::error_code error;
    if (std::filesystem::file_size(fileSystemPath(path), error) == 0 && !error)
        return Error{"it is empty"};
    // The module reads the file by its name: no stream crosses into it.
    return openAudioStream(std::move(in), [&path](std::unique_ptr<std::istream>) { return openWithFfmpegModule(path); });
}

audio::Result<std::unique_ptr<AudioSource>> openAudioStream(std::unique_ptr<std::istream> in,
                                                            const OtherFormatReader &readOtherFormats)
{
    const auto probe = ContentProbe::of(*in);
    if (!probe.ok())
        return probe.error();
    if (probe.value().kind == ContentProbe::Kind::notAudio)
        return Error{"it is a " + probe.value().formatName + ", not audio"};
    if (probe.value().kind == ContentProbe::Kind::mpegAudio) {
        auto decoder = Mp3Decoder::open(std::move(in));
        if (!decoder.ok())
            return decoder.error();
        return std::unique_ptr<AudioSource>(std::move(decoder.value()));
    }
    return readOtherFormats(std::move(in));
}
