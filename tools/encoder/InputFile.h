#pragma once

// A file converter reads, opened and read through the reader of its format (WavReader,
// AmrReader). What goes wrong with it comes back naming the file and saying why:
// "IN.wav: cannot open it: No such file or directory", "IN.wav: it is not a WAV file",
// "IN.wav: it is a folder, not a file" (anything but a regular file is refused before it
// is opened).

#include "AudioResult.h"
#include "FileKind.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

template <typename Reader>
class InputFile {
public:
    static audio::Result<InputFile> open(const std::string &path)
    {
        if (const auto reason = audio::notAFile(path))
            return audio::Error{path + ": " + *reason};
        auto stream = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (!*stream)
            return audio::Error{path + ": cannot open it: " + std::strerror(errno)};
        auto reader = Reader::open(*stream);
        if (!reader.ok())
            return audio::Error{path + ": " + reader.error().message};
        return InputFile(path, std::move(stream), std::move(reader.value()));
    }

    Reader &reader() { return m_reader; }

    // `error`, which concerns this file, with the file's name in front.
    audio::Error failure(const audio::Error &error) const { return audio::Error{m_path + ": " + error.message}; }

private:
    InputFile(std::string path, std::unique_ptr<std::ifstream> stream, Reader reader)
        : m_path(std::move(path)), m_stream(std::move(stream)), m_reader(std::move(reader))
    {
    }

    std::string m_path;
    std::unique_ptr<std::ifstream> m_stream; // on the heap: the reader reads it wherever the file is moved
    Reader m_reader;
};
