#pragma once

#include <QJsonObject>

namespace tarvel::web {

/// What "GET /v1/status" reports: the version, every printer the service can
/// print to with its media and resolution, and the default printer.
class DruckerStatus
{
public:
    static QJsonObject bericht(const QString &version);

    /// One printer: its name, media (name, size in mm, orientation, printable
    /// area), resolution and "passend", the label kinds that fit its media.
    static QJsonObject drucker(const QString &name);
};

} // namespace tarvel::web
