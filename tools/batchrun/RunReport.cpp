#include "RunReport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

void RunReport::ended(int status, const std::string &failure)
{
    replaceWith("ended " + std::to_string(status) + "\n" + failure + (failure.empty() ? "" : "\n"));
    m_descriptor.reset();
}

void RunReport::stopped()
{
    replaceWith("stopped\n");
    m_descriptor.reset();
}

void RunReport::replaceWith(const std::string &text)
{
    // A reader sees a stale or partial text only while the lock is held, and does not
    // read it then.
    if (!m_descriptor)
        return;
    const int descriptor = m_descriptor.get().number;
    if (ftruncate(descriptor, 0) != 0 || pwrite(descriptor, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
        std::fprintf(stderr, "batchrun: cannot write the run report: %s\n", std::strerror(errno));
    }
}
