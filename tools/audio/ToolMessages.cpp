// Each line to the error output and, whole and unbuffered, to the messages file.

#include "ToolMessages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace audio {

namespace {

// The messages file, or nothing when the variable is unset or empty.
const char *messagesFile()
{
    const char *path = std::getenv("AMR_TOOL_MESSAGES");
    return path && *path ? path : nullptr;
}

} // namespace

void ToolMessages::failure(const std::string &text) const { tell(m_program + ": " + text); }

void ToolMessages::warning(const std::string &text) const { tell(m_program + ": warning: " + text); }

void ToolMessages::usage(const std::string &text) const { tell(m_program + ": usage: " + text); }

void ToolMessages::tell(const std::string &line) const
{
    std::cerr << line << '\n';
    const char *path = messagesFile();
    if (!path)
        return;
    std::FILE *file = std::fopen(path, "ab");
    if (!file)
        return;
    // Unbuffered, the line goes to the system in one write, where it is appended whole.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::string whole = line + '\n';
    std::fwrite(whole.data(), 1, whole.size(), file);
    std::fclose(file);
}

bool ToolMessages::holdFailureOf(const std::string &program)
{
    const char *path = messagesFile();
    if (!path)
        return false;
    std::ifstream in(path, std::ios::binary);
    const std::string failure = program + ": ";
    const std::string warning = program + ": warning: ";
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(failure) && !line.starts_with(warning))
            return true;
    }
    return false;
}

} // namespace audio
