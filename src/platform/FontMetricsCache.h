#pragma once

#include "platform/FontGlyphs.h"
#include "platform/FontSpec.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>

namespace tarvel::platform {

/// Fonts and their metrics in twips, device-independent and computed once per
/// font. "Arial" is drawn in Liberation Sans and "Courier New" in Liberation
/// Mono, which share their metrics, so widths and line heights are as designed.
class FontMetricsCache
{
public:
    struct Entry
    {
        QFont font;          ///< point-sized font for drawing on any device
        QFontMetricsF metrics; ///< metrics in twips
        double ascent;       ///< twips from the top of the line to the baseline
        double lineSpacing;  ///< twips from one line to the next
        std::shared_ptr<FontGlyphs> glyphs; ///< glyphs and advances in twips
    };

    /// The process-wide cache. Fonts need a QGuiApplication.
    static FontMetricsCache &instance();

    Entry &entry(const FontSpec &fontSpec);
    /// The face that a font name is drawn in.
    static QString familyFor(const QString &name);
    /// A font of \a twips em height in the default sans face at normal weight.
    QFont fontWithEmHeight(double twips) const;

private:
    FontMetricsCache();
    QHash<QString, std::shared_ptr<Entry>> m_entries;
};

} // namespace tarvel::platform
