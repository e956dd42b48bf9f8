#pragma once

#include "platform/PageSetup.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvel::platform {

/// A printer queue of the system's CUPS: how it is set up, and handing it a job.
/// Each request waits a few seconds at most (CupsConnection); where the scheduler
/// does not answer in that time, the queries throw printer error 482 naming it.
class CupsQueue
{
public:
    /// Whether CUPS knows a queue of that name.
    static bool exists(const QString &name);
    /// The system's default printer (the user's choice in lpoptions, else the
    /// scheduler's); empty when there is none, or no scheduler.
    static QString defaultName();
    /// The names of all queues.
    static QStringList names();
    /// The queue's page as it is set up: default media, its orientation and
    /// printable area (margins rounded to whole dots), and its resolution.
    /// Empty when CUPS does not know the queue.
    static std::optional<PageSetup> setup(const QString &name);
    /// Hands the PDF \a file to the queue as it is, unscaled, with the options
    /// of \a setup. Returns the job id, or 0 and the reason in \a error.
    static int print(const QString &name, const QString &file, const QString &title, const PageSetup &setup,
                     QString *error);
};

} // namespace tarvel::platform
