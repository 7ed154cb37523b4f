#include "BatchRunner.h"

#include "CommandLine.h"
#include "ProgramLookup.h"
#include "StopSignals.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string currentFolder()
{
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

void changeFolder(const std::vector<std::string> &words, std::ostream &console)
{
    if (words.size() < 2) {
        console << currentFolder() << '\n';
        return;
    }
    std::error_code error;
    std::filesystem::current_path(words[1], error);
    if (error)
        console << "cd: cannot change to \"" << words[1] << "\": " << error.message() << '\n';
}

std::string fileName(const std::string &path)
{
    return std::filesystem::path(path).filename().string();
}

// Runs the program a line names and waits for it; returns how it failed, or nothing.
std::optional<std::string> runProgram(const std::vector<std::string> &words, std::ostream &console)
{
    const auto program = findProgram(words.front());
    if (!program) {
        console << "'" << words.front()
                << "' is not recognized as a command or program; the line is skipped.\n";
        return std::nullopt;
    }

    std::vector<char *> arguments;
    for (const std::string &word : words)
        arguments.push_back(const_cast<char *>(word.c_str()));
    arguments.push_back(nullptr);

    console.flush();
    pid_t child = 0;
    const int error = posix_spawn(&child, program->c_str(), nullptr, nullptr, arguments.data(),
                                  environ);
    if (error != 0) {
        console << "Cannot start \"" << *program << "\": " << std::strerror(error) << '\n';
        return fileName(*program) + " could not be started";
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return fileName(*program) + " could not be waited for";
        StopSignals::forwardTo(child);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    if (WIFEXITED(status))
        return fileName(*program) + " ended with status " + std::to_string(WEXITSTATUS(status));
    return fileName(*program) + " was stopped by signal " + std::to_string(WTERMSIG(status));
}

} // namespace

BatchOutcome runBatchScript(std::string_view scriptText, std::ostream &console)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (scriptText.starts_with(byteOrderMark))
        scriptText.remove_prefix(byteOrderMark.size());

    BatchOutcome outcome;
    while (!scriptText.empty() && !StopSignals::received()) {
        const std::size_t end = scriptText.find('\n');
        std::string_view line = scriptText.substr(0, end);
        scriptText = end == std::string_view::npos ? std::string_view{} : scriptText.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);

        const std::vector<std::string> words = splitCommandLine(line);
        if (words.empty())
            continue;
        console << currentFolder() << "> " << line << '\n';

        const std::string command = lowerCase(words.front());
        if (command == "exit")
            break;
        if (command == "cd") {
            changeFolder(words, console);
        } else if (auto failure = runProgram(words, console)) {
            if (outcome.failedPrograms++ == 0)
                outcome.firstFailure = std::move(*failure);
        }
    }
    outcome.stopSignal = StopSignals::received();
    console.flush();
    return outcome;
}
