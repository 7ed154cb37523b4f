#pragma once

#include "Descriptor.h"

#include <string>

// Tells whoever started the run how it is going, through a small file: "running" while
// the run lasts, then "ended STATUS" and a line saying what failed, or "stopped" when a
// signal ended it. The runner holds a lock on the file for as long as the run lasts, so a
// reader that can lock it knows the run is over, even when the runner was killed. The
// file appears under its name already locked.
class RunReport {
public:
    // Creates the report; an empty report (no file) when `path` is empty. On failure,
    // `error` holds the reason.
    static RunReport create(const std::string &path, std::string &error);

    // Each writes the run's end and releases the lock: the run is over for the reader.
    void ended(int status, const std::string &failure);
    void stopped();

private:
    explicit RunReport(int descriptor) : m_descriptor(descriptor) {}
    void replaceWith(const std::string &text);

    Descriptor m_descriptor; // closed when the run's end is written, which releases the lock
};
