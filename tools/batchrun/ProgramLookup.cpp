#include "ProgramLookup.h"

#include <cstdlib>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutableFile(const std::string &path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findIn(const std::string &folder, const std::string &name)
{
    const std::string base = folder.empty() ? name : folder + "/" + name;
    for (const std::string &candidate : {base, base + ".exe"}) {
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> findProgram(const std::string &name)
{
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos)
        return findIn({}, name);

    if (auto here = findIn(".", name))
        return here;
    const char *path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        if (auto found = findIn(folder.empty() ? "." : folder, name))
            return found;
        folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
    }
    return std::nullopt;
}
