// batchrun: runs a conversion script the way the Windows command interpreter would,
// without involving a shell.
//
//   batchrun [--console] [--report FILE] SCRIPT
//
// The whole script is read before its first line runs, so a script rewritten by the
// next conversion while this one runs cannot mix two requests.
//
// Exits with status 0 when every program it ran succeeded, 1 when one failed or the
// script could not be read, 2 for a wrong command line, and by the signal that stopped
// it. --console says the run has a console window of its own: when a program failed,
// the window then stays open with the reason until Enter is pressed. --report FILE keeps
// FILE up to date for the program that started the run (see RunReport.h).

#include "BatchRunner.h"
#include "RunReport.h"
#include "StopSignals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

struct Options {
    bool console = false;
    std::string reportPath;
    std::string scriptPath;
};

std::optional<Options> parse(int argc, char **argv)
{
    Options options;
    int i = 1;
    for (; i < argc && std::string_view(argv[i]).starts_with("--"); ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--console")
            options.console = true;
        else if (argument == "--report" && i + 1 < argc)
            options.reportPath = argv[++i];
        else
            return std::nullopt;
    }
    if (i != argc - 1)
        return std::nullopt;
    options.scriptPath = argv[i];
    return options;
}

// The script's bytes, or nothing with the reason in `error`.
std::optional<std::string> readScript(const std::string &path, std::string &error)
{
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = "it is a folder";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = "it cannot be read";
        return std::nullopt;
    }
    return text.str();
}

// Keeps the console window open until the user presses Enter or closes it.
void waitForEnter()
{
    std::cout << "Press Enter to close this window." << std::endl;
    char byte = 0;
    while (read(STDIN_FILENO, &byte, 1) == 1 && byte != '\n') {
    }
}

} // namespace

int main(int argc, char **argv)
{
    const auto options = parse(argc, argv);
    if (!options) {
        std::cerr << "usage: batchrun [--console] [--report FILE] SCRIPT\n";
        return 2;
    }
    StopSignals::install();
    // Output nobody reads any more (the program that started the run without a console
    // was closed or killed) must not end the conversion.
    std::signal(SIGPIPE, SIG_IGN);

    std::string error;
    RunReport report = RunReport::create(options->reportPath, error);
    if (!error.empty())
        std::cerr << "batchrun: " << error << '\n';

    const auto script = readScript(options->scriptPath, error);
    BatchOutcome outcome;
    if (script) {
        outcome = runBatchScript(*script, std::cout);
    } else {
        outcome.failedPrograms = 1;
        outcome.firstFailure = "the script \"" + options->scriptPath + "\" cannot be read: " + error;
        std::cerr << "batchrun: " << outcome.firstFailure << '\n';
    }

    if (outcome.stopSignal) {
        report.stopped();
        StopSignals::endByIt();
    }
    const int status = outcome.failedPrograms > 0 ? 1 : 0;
    // The run is over for whoever waits on the report, even while the window stays open.
    report.ended(status, outcome.firstFailure);
    if (status != 0 && options->console) {
        std::cout << "\nThe conversion failed: " << outcome.firstFailure
                  << ". The lines above say why.\n";
        waitForEnter();
    }
    return status;
}
