// Writes under a temporary name in the target's folder and renames on success.

#include "OutputFile.h"

#include "TemporaryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace audio {

namespace {

std::string systemError() { return std::strerror(errno); }

#ifdef _WIN32

// Where a name's folder part may end. Names are cut as bytes: on Windows,
// std::filesystem would take them for another encoding and garble UTF-8.
constexpr const char *folderSeparators = "/\\:";

// A Windows file has no permissions for others to set.
bool makeOrdinaryFile(int) { return true; }

bool flushToDisk(int descriptor) { return _commit(descriptor) == 0; }

// The C library's rename does not replace an existing file on Windows.
std::optional<std::string> replaceFile(const std::string &from, const std::string &to)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return std::system_category().message(static_cast<int>(GetLastError()));
}

// The longest file name a folder takes: 255 UTF-16 units, never more than the bytes of
// the same name in UTF-8.
std::size_t nameLimit(const std::string &) { return 255; }

#else

constexpr const char *folderSeparators = "/";

// mkstemp creates the file readable by its owner only, while the target should look like
// any file the user creates.
bool makeOrdinaryFile(int descriptor)
{
    const mode_t mask = umask(0);
    umask(mask);
    return fchmod(descriptor, 0666 & ~mask) == 0;
}

bool flushToDisk(int descriptor) { return fsync(descriptor) == 0; }

std::optional<std::string> replaceFile(const std::string &from, const std::string &to)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return std::nullopt;
    return systemError();
}

// The longest file name the folder takes, in bytes.
std::size_t nameLimit(const std::string &folder)
{
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

#endif

// ".NAME.XXXXXX" for the target's NAME, with NAME shortened, at a character boundary,
// as far as the folder's limit on the length of a name requires.
std::string temporaryName(const std::string &name, std::size_t limit)
{
    constexpr std::size_t added = std::char_traits<char>::length("..XXXXXX");
    std::size_t kept = std::min(name.size(), limit > added ? limit - added : 0);
    // Never keep the first bytes of a UTF-8 sequence without its continuation bytes.
    while (kept > 0 && kept < name.size() && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    // Appended step by step: GCC 12 at -O3 takes a one-expression concatenation for
    // overlapping copies (a false -Wrestrict).
    std::string temporary = ".";
    temporary.append(name, 0, kept);
    temporary += ".XXXXXX";
    return temporary;
}

} // namespace

void OutputFile::RemoveTemporary::operator()(Temporary *temporary) const
{
    unlink(temporary->path.c_str());
    // Only now: a stop before the file is gone still finds it registered.
    TemporaryFiles::release(temporary->slot);
    delete temporary;
}

void OutputFile::CloseFile::operator()(std::FILE *file) const
{
    std::fclose(file);
}

OutputFile::OutputFile(std::string targetPath, std::unique_ptr<Temporary, RemoveTemporary> temporary, std::FILE *file)
    : m_targetPath(std::move(targetPath)), m_temporary(std::move(temporary)), m_file(file)
{
}

Result<OutputFile> OutputFile::create(const std::string &targetPath)
{
    const std::size_t nameStart = targetPath.find_last_of(folderSeparators) + 1;
    const std::string folder = nameStart > 0 ? targetPath.substr(0, nameStart) : std::string(".");
    std::string temporaryPath =
        targetPath.substr(0, nameStart) + temporaryName(targetPath.substr(nameStart), nameLimit(folder));
    auto created = TemporaryFiles::create(std::move(temporaryPath));
    if (!created.ok())
        return Error{targetPath + ": cannot create a file in its folder: " + created.error().message};
    std::unique_ptr<Temporary, RemoveTemporary> temporary(new Temporary{created.value().path, created.value().slot});
    const int descriptor = created.value().descriptor;
    std::FILE *file = nullptr;
    if (!makeOrdinaryFile(descriptor) || !(file = fdopen(descriptor, "wb"))) {
        Error error{targetPath + ": cannot create a file in its folder: " + systemError()};
        close(descriptor);
        return error;
    }
    return OutputFile(targetPath, std::move(temporary), file);
}

Error OutputFile::failure(const std::string &action) const
{
    return Error{m_targetPath + ": cannot " + action + " it: " + systemError()};
}

Status OutputFile::write(std::span<const std::byte> bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size())
        return failure("write");
    return std::nullopt;
}

Status OutputFile::writeAt(std::uint64_t offset, std::span<const std::byte> bytes)
{
    const std::lock_guard lock(*m_positioning);
    const off_t end = ftello(m_file.get());
    if (end < 0 || fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return failure("seek in");
    if (auto error = write(bytes))
        return error;
    if (fseeko(m_file.get(), end, SEEK_SET) != 0)
        return failure("seek in");
    return std::nullopt;
}

Status OutputFile::commit()
{
    if (std::fflush(m_file.get()) != 0 || !flushToDisk(fileno(m_file.get())))
        return failure("write");
    if (std::fclose(m_file.release()) != 0)
        return failure("write");
    if (const auto problem = replaceFile(m_temporary->path, m_targetPath))
        return Error{m_targetPath + ": cannot replace it: " + *problem};
    // Gone under its own name: nothing to remove, only the registration to release.
    const std::unique_ptr<Temporary> renamed(m_temporary.release());
    TemporaryFiles::release(renamed->slot);
    return std::nullopt;
}

} // namespace audio
