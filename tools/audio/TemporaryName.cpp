// The shortened name, and the strict match of the names other processes made.

#include "TemporaryName.h"

#include "Platform.h"

#include <algorithm>
#include <charconv>

namespace audio {

namespace {

// What the temporary name adds to NAME: a process id has at most ten digits.
constexpr std::size_t pidDigits = 10;
constexpr std::size_t letters = 6;
constexpr std::size_t added = 1 + 1 + pidDigits + 1 + letters;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// mkstemp's letters, in the C libraries of Linux and of mingw-w64.
bool isTemplateLetter(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

} // namespace

TemporaryName::TemporaryName(const std::string &targetPath)
{
    const std::size_t nameStart = targetPath.find_last_of(platform::folderSeparators()) + 1;
    m_folder = targetPath.substr(0, nameStart);
    const std::string name = targetPath.substr(nameStart);
    m_pathLimit = platform::pathLimit(m_folder);
    // NAME is cut as if the process id had ten digits, so that it is cut the same for
    // every process; where that leaves no room, NAME is left out.
    const std::size_t room = std::min(platform::nameLimit(m_folder), m_pathLimit - std::min(m_pathLimit, m_folder.size()));
    std::size_t kept = std::min(name.size(), room > added ? room - added : 0);
    // Never keep the first bytes of a UTF-8 sequence without its continuation bytes.
    while (kept > 0 && kept < name.size() && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    // Put together in place: GCC 12 at -O3 takes a concatenation or an assignment of
    // strings here for overlapping copies (a false -Wrestrict).
    m_prefix.reserve(kept + 2);
    m_prefix.push_back('.');
    m_prefix.append(name, 0, kept);
    m_prefix.push_back('.');
}

Result<std::string> TemporaryName::pathTemplate() const
{
    std::string path = m_folder + m_prefix + std::to_string(platform::processId()) + '.' + std::string(letters, 'X');
    if (path.size() > m_pathLimit)
        return Error{"its folder's path is too long for a file beside it"};
    return path;
}

void TemporaryName::removeOrphans() const
{
    for (const std::string &name : platform::namesIn(m_folder)) {
        if (const auto writer = writerOf(name))
            platform::removeIfOrphaned(m_folder + name, *writer);
    }
}

std::optional<unsigned long> TemporaryName::writerOf(const std::string &name) const
{
    if (!name.starts_with(m_prefix) || name.size() < m_prefix.size() + 1 + 1 + letters)
        return std::nullopt;
    const std::string pid = name.substr(m_prefix.size(), name.size() - m_prefix.size() - 1 - letters);
    const std::string tail = name.substr(name.size() - 1 - letters);
    if (pid.size() > pidDigits || pid.front() == '0' || !std::all_of(pid.begin(), pid.end(), isDigit)
        || tail.front() != '.' || !std::all_of(tail.begin() + 1, tail.end(), isTemplateLetter))
        return std::nullopt;
    unsigned long writer = 0;
    if (std::from_chars(pid.data(), pid.data() + pid.size(), writer).ec != std::errc())
        return std::nullopt;
    return writer;
}

} // namespace audio
