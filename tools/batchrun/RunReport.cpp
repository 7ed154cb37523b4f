#include "RunReport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

RunReport RunReport::create(const std::string &path, std::string &error)
{
    if (path.empty())
        return RunReport(-1);
    // Locked under a temporary name first, so no reader finds it unlocked before the
    // run has begun.
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot create the run report \"" + path + "\": " + std::strerror(errno);
        return RunReport(-1);
    }
    RunReport report(descriptor);
    if (flock(descriptor, LOCK_EX) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot create the run report \"" + path + "\": " + std::strerror(errno);
        unlink(temporary.c_str());
        return report;
    }
    report.replaceWith("running\n");
    return report;
}

RunReport::RunReport(RunReport &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

RunReport::~RunReport()
{
    release();
}

void RunReport::release()
{
    if (m_descriptor >= 0)
        close(std::exchange(m_descriptor, -1));
}

void RunReport::ended(int status, const std::string &failure)
{
    replaceWith("ended " + std::to_string(status) + "\n" + failure + (failure.empty() ? "" : "\n"));
    release();
}

void RunReport::stopped()
{
    replaceWith("stopped\n");
    release();
}

void RunReport::replaceWith(const std::string &text)
{
    // A reader sees a stale or partial text only while the lock is held, and does not
    // read it then.
    if (m_descriptor < 0)
        return;
    if (ftruncate(m_descriptor, 0) != 0
        || pwrite(m_descriptor, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
        std::fprintf(stderr, "batchrun: cannot write the run report: %s\n", std::strerror(errno));
    }
}
