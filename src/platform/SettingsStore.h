#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace tarvel::platform {

/// The per-user settings store: text values by application, section and key,
/// names compared without regard to letter case. Backed by QSettings.
class SettingsStore
{
public:
    /// The stored text, or \a defaultValue as text when the entry is absent.
    static QString read(const QString &application, const QString &section, const QString &key,
                        const QVariant &defaultValue = {});
    /// Creates or replaces the entry. Returns false (and logs) if it could not be written.
    static bool write(const QString &application, const QString &section, const QString &key,
                      const QString &value);

    /// "DrawWidth" of Tarvel/System as a 16-bit width. A value that is not a
    /// number, does not fit 16 bits or is negative counts as absent (0) and is logged.
    static qint16 drawWidth();
};

} // namespace tarvel::platform
