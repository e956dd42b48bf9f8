#pragma once

#include "platform/FontGlyphs.h"
#include "platform/FontSpec.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>
#include <utility>
#include <vector>

namespace tarvel::platform {

/// Fonts and their metrics in twips, device-independent and computed once per
/// font for each surface that owns a cache. "Arial" is drawn in Liberation Sans
/// and "Courier New" in Liberation Mono, which share their metrics, so widths
/// and line heights are as designed. Fonts need a QGuiApplication.
class FontMetricsCache
{
public:
    struct Entry
    {
        QFont font;          ///< point-sized font for drawing on any device, with the system's fallbacks
        QFontMetricsF metrics; ///< metrics in twips
        double ascent;       ///< twips from the top of the line to the baseline
        double lineSpacing;  ///< twips from one line to the next
        std::shared_ptr<FontGlyphs> glyphs; ///< glyphs and advances in twips
    };

    /// The font and metrics of \a fontSpec; the entry lives as long as the cache.
    Entry &entry(const FontSpec &fontSpec);
    /// The face that a font name is drawn in.
    static QString familyFor(const QString &name);

private:
    /// The entry under the font's key (its name in any case), made on first use.
    Entry &lookup(const FontSpec &fontSpec);

    static constexpr size_t MaxAsked = 16;
    QHash<QString, std::shared_ptr<Entry>> m_entries;
    /// The fonts asked for so far, as given: a label switches between a few
    /// fonts several times, and comparing them is cheaper than building the key.
    std::vector<std::pair<FontSpec, Entry *>> m_asked;
};

} // namespace tarvel::platform
