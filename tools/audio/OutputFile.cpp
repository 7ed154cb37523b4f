// Writes under a temporary name in the target's folder and renames on success.

#include "OutputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
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

} // namespace

OutputFile::OutputFile(std::string targetPath, std::string temporaryPath, std::FILE *file)
    : m_targetPath(std::move(targetPath)), m_temporaryPath(std::move(temporaryPath)), m_file(file)
{
}

OutputFile::OutputFile(OutputFile &&other) noexcept
    : m_targetPath(std::move(other.m_targetPath)),
      m_temporaryPath(std::move(other.m_temporaryPath)),
      m_file(std::exchange(other.m_file, nullptr))
{
    other.m_temporaryPath.clear();
}

OutputFile::~OutputFile()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_temporaryPath.empty())
        unlink(m_temporaryPath.c_str());
}

Result<OutputFile> OutputFile::create(const std::string &targetPath)
{
    const std::filesystem::path target(targetPath);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    // Built up step by step: GCC 12 at -O3 takes the one-expression concatenation for
    // overlapping copies (a false -Wrestrict).
    std::string temporaryName = ".";
    temporaryName += target.filename().string();
    temporaryName += ".XXXXXX";
    std::string temporaryPath = (folder / temporaryName).string();

    const int descriptor = mkstemp(temporaryPath.data());
    if (descriptor < 0) {
        return Error{targetPath + ": cannot create a file in its folder: " + systemError()};
    }
    std::FILE *file = nullptr;
    if (fchmod(descriptor, newFileMode()) != 0 || !(file = fdopen(descriptor, "wb"))) {
        Error error{targetPath + ": cannot create a file in its folder: " + systemError()};
        close(descriptor);
        unlink(temporaryPath.c_str());
        return error;
    }
    return OutputFile(targetPath, std::move(temporaryPath), file);
}

Error OutputFile::failure(const std::string &action) const
{
    return Error{m_targetPath + ": cannot " + action + " it: " + systemError()};
}

Status OutputFile::write(std::span<const std::byte> bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        return failure("write");
    return std::nullopt;
}

Status OutputFile::writeAt(std::uint64_t offset, std::span<const std::byte> bytes)
{
    const off_t end = ftello(m_file);
    if (end < 0 || fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return failure("seek in");
    if (auto error = write(bytes))
        return error;
    if (fseeko(m_file, end, SEEK_SET) != 0)
        return failure("seek in");
    return std::nullopt;
}

Status OutputFile::commit()
{
    if (std::fflush(m_file) != 0 || fsync(fileno(m_file)) != 0)
        return failure("write");
    const int closed = std::fclose(std::exchange(m_file, nullptr));
    if (closed != 0)
        return failure("write");
    if (std::rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0)
        return failure("replace");
    m_temporaryPath.clear();
    return std::nullopt;
}

} // namespace audio
