// Writes under a temporary name in the target's folder and renames on success.

#include "OutputFile.h"

#include "OutputTarget.h"
#include "Platform.h"
#include "TemporaryFiles.h"
#include "TemporaryName.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include <unistd.h>

namespace audio {

namespace {

std::string systemError() { return std::strerror(errno); }

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

OutputFile::OutputFile(std::string targetPath, std::string writtenAt, std::unique_ptr<Temporary, RemoveTemporary> temporary,
                       std::FILE *file)
    : m_targetPath(std::move(targetPath)), m_writtenAt(std::move(writtenAt)), m_temporary(std::move(temporary)), m_file(file)
{
}

Result<OutputFile> OutputFile::create(const std::string &targetPath)
{
    const auto target = OutputTarget::of(targetPath);
    if (!target.ok())
        return target.error();
    const std::string &writtenAt = target.value().writtenAt();
    const TemporaryName name(writtenAt);
    auto pathTemplate = name.pathTemplate();
    if (!pathTemplate.ok())
        return Error{targetPath + ": " + pathTemplate.error().message};
    // Before this run's file is there: what other runs left behind when they were killed.
    name.removeOrphans();
    auto created = TemporaryFiles::create(std::move(pathTemplate.value()));
    if (!created.ok())
        return Error{targetPath + ": cannot create a file in its folder: " + created.error().message};
    std::unique_ptr<Temporary, RemoveTemporary> temporary(new Temporary{created.value().path, created.value().slot});
    const int descriptor = created.value().descriptor;
    platform::holdAsWriter(descriptor);
    std::FILE *file = nullptr;
    if (!platform::takeOver(descriptor, target.value().replaced()) || !(file = fdopen(descriptor, "wb"))) {
        Error error{targetPath + ": cannot create a file in its folder: " + systemError()};
        close(descriptor);
        return error;
    }
    return OutputFile(targetPath, writtenAt, std::move(temporary), file);
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
    if (std::fflush(m_file.get()) != 0 || !platform::flushToDisk(fileno(m_file.get())))
        return failure("write");
    if (std::fclose(m_file.release()) != 0)
        return failure("write");
    if (const auto problem = platform::replaceFile(m_temporary->path, m_writtenAt))
        return Error{m_targetPath + ": cannot replace it: " + *problem};
    // Gone under its own name: nothing to remove, only the registration to release.
    const std::unique_ptr<Temporary> renamed(m_temporary.release());
    TemporaryFiles::release(renamed->slot);
    return std::nullopt;
}

} // namespace audio
