#pragma once

// One row of the benchmark table: every benchmark prints its rows through this,
// and bench/run gathers them into one table.
#include <QString>
#include <cstdio>
#include <sys/resource.h>

namespace tarvel::bench {

/// Peak resident memory of this process so far, in MB.
inline double peakMegabytes()
{
    struct rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

/// Prints "ROW<TAB>work<TAB>count<TAB>wall s<TAB>per item<TAB>peak MB<TAB>output" for bench/run.
inline void printRow(const QString &work, long long count, double wallSeconds, const QString &perItem,
                     double peakMb, const QString &output)
{
    std::printf("ROW\t%s\t%lld\t%.3f\t%s\t%.1f\t%s\n", qPrintable(work), count, wallSeconds, qPrintable(perItem),
                peakMb, qPrintable(output));
    std::fflush(stdout);
}

inline QString perItemMs(double wallSeconds, long long count)
{
    return QStringLiteral("%1 ms").arg(count ? wallSeconds * 1000.0 / count : 0.0, 0, 'f', 4);
}

} // namespace tarvel::bench
