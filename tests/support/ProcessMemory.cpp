#include "support/ProcessMemory.h"

#include <QFile>
#include <QRegularExpression>
#include <malloc.h>

namespace tarvel::test {

namespace {

qint64 statusField(qint64 pid, const char *field)
{
    QFile status(pid == 0 ? QStringLiteral("/proc/self/status") : QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression re(QStringLiteral("%1:\\s*(\\d+)\\s*kB").arg(QLatin1String(field)));
    const auto m = re.match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

} // namespace

qint64 ProcessMemory::residentKiB(qint64 pid)
{
    if (pid == 0)
        malloc_trim(0);
    return statusField(pid, "VmRSS");
}

void ProcessMemory::resetPeak()
{
    malloc_trim(0);
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

qint64 ProcessMemory::peakKiB() { return statusField(0, "VmHWM"); }

bool ProcessMemory::sanitized()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace tarvel::test
