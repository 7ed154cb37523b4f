// Writes under a temporary name in the target's folder and renames on success.

#include "OutputFile.h"

#include "TemporaryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace audio {

namespace {

std::string systemError() { return std::strerror(errno); }

// The permissions a newly created file gets: mkstemp creates the file readable by its
// owner only, while the target should look like any file the user creates.
mode_t newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The longest file name the folder takes, in bytes.
std::size_t nameLimit(const std::filesystem::path &folder)
{
#ifdef _WIN32
    (void)folder;
    return 255; // UTF-16 units, never more than the bytes of the same name in UTF-8
#else
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
#endif
}

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
    const std::filesystem::path target(targetPath);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporaryPath =
        (folder / temporaryName(target.filename().string(), nameLimit(folder))).string();
    auto created = TemporaryFiles::create(std::move(temporaryPath));
    if (!created.ok())
        return Error{targetPath + ": cannot create a file in its folder: " + created.error().message};
    std::unique_ptr<Temporary, RemoveTemporary> temporary(new Temporary{created.value().path, created.value().slot});
    const int descriptor = created.value().descriptor;
    std::FILE *file = nullptr;
    if (fchmod(descriptor, newFileMode()) != 0 || !(file = fdopen(descriptor, "wb"))) {
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
    if (std::fflush(m_file.get()) != 0 || fsync(fileno(m_file.get())) != 0)
        return failure("write");
    if (std::fclose(m_file.release()) != 0)
        return failure("write");
    if (std::rename(m_temporary->path.c_str(), m_targetPath.c_str()) != 0)
        return failure("replace");
    // Gone under its own name: nothing to remove, only the registration to release.
    const std::unique_ptr<Temporary> renamed(m_temporary.release());
    TemporaryFiles::release(renamed->slot);
    return std::nullopt;
}

} // namespace audio
