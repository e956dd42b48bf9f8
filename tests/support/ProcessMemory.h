#pragma once

#include <QtGlobal>

namespace tarvel::test {

/// Resident memory of a process, for the tests that bound it.
class ProcessMemory
{
public:
    /// VmRSS of process \a pid (0: this process) in KiB, or -1 if unknown.
    /// For this process, memory that the allocator keeps free is given back first.
    static qint64 residentKiB(qint64 pid = 0);
    /// Starts a new peak: peakKiB() then tells the most this process held since.
    static void resetPeak();
    /// VmHWM of this process in KiB: the peak resident memory since resetPeak().
    static qint64 peakKiB();
    /// True in a build with AddressSanitizer, whose quarantine and shadow
    /// memory make resident figures meaningless as bounds.
    static bool sanitized();
};

} // namespace tarvel::test
