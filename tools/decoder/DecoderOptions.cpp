// Parses the decoder's fixed command line.

#include "DecoderOptions.h"

#include <cstddef>
#include <utility>

namespace {

const std::string wavePrefix = "wave:";

} // namespace

std::optional<DecoderOptions> DecoderOptions::parse(const std::vector<std::string> &arguments)
{
    bool mono = false;
    std::optional<std::string> rate, bits, output, input;
    const auto takeValue = [&](std::optional<std::string> &slot, std::size_t &i) {
        if (slot || i + 1 >= arguments.size())
            return false;
        slot = arguments[++i];
        return true;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        bool ok = true;
        if (argument == "-m")
            ok = !std::exchange(mono, true);
        else if (argument == "-R")
            ok = takeValue(rate, i);
        else if (argument == "-b")
            ok = takeValue(bits, i);
        else if (argument == "-o")
            ok = takeValue(output, i);
        else if (!input && !argument.empty() && (argument[0] != '-' || i + 1 == arguments.size()))
            input = argument;
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }

    if (!mono || rate != "8000" || bits != "16" || !input || !output
        || !output->starts_with(wavePrefix) || output->size() == wavePrefix.size()) {
        return std::nullopt;
    }
    return DecoderOptions{output->substr(wavePrefix.size()), *input};
}
