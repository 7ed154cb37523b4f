#pragma once

// The lines a tool prints for the user about its run, on its error output and, when the
// environment variable AMR_TOOL_MESSAGES names a file, appended to that file as well, so
// that the program that ran the conversion can tell the user its outcome afterwards:
//
//   PROGRAM: FILE: REASON            a failure (exit status 1)
//   PROGRAM: warning: FILE: REASON   a warning; the output was made
//   PROGRAM: usage: ...              a wrong command line (exit status 2)
//
// A line that starts with "PROGRAM: warning: " is a warning, any other line a failure of
// that program. Each line is appended whole, with its '\n', in one write, in the bytes
// printed (file names as given, UTF-8 on Windows); the file is created when missing. A
// file that cannot be written is passed over: the error output still has the line.

#include <string>
#include <utility>

namespace audio {

class ToolMessages {
public:
    explicit ToolMessages(std::string program) : m_program(std::move(program)) {}

    void failure(const std::string &text) const;
    void warning(const std::string &text) const;
    // The first line of the usage text; the rest goes to the error output only.
    void usage(const std::string &text) const;

    // Whether the messages file holds a failure line of `program`: the step before in
    // the conversion failed.
    static bool holdFailureOf(const std::string &program);

private:
    void tell(const std::string &line) const;

    std::string m_program;
};

} // namespace audio
