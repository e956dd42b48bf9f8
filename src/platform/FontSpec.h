#pragma once

#include <QString>

namespace tarvel::platform {

/// The font of the printer surface as the layouts name it.
struct FontSpec
{
    QString name = QStringLiteral("Arial");
    double size = 10.0; ///< points
    bool bold = false;
    bool italic = false;

    bool operator==(const FontSpec &) const = default;
};

} // namespace tarvel::platform
