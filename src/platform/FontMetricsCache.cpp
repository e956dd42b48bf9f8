#include "platform/FontMetricsCache.h"

#include <QPaintDevice>
#include <QPaintEngine>

namespace tarvel::platform {

namespace {

/// A paint device of 1440 dots per inch: metrics taken against it are in twips.
class TwipsDevice final : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 1440;
        case PdmWidth:
        case PdmHeight:
            return 1440 * 12;
        case PdmWidthMM:
        case PdmHeightMM:
            return 305;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 1 << 24;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

TwipsDevice &twipsDevice()
{
    static TwipsDevice device;
    return device;
}

/// The font alone (\a merging false), or with the installed fonts that the
/// system falls back to for characters it lacks.
QFont makeFont(const QString &family, double points, bool bold, bool italic, bool merging)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    // Unhinted outlines keep widths proportional on every resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(merging ? QFont::ForceOutline : QFont::StyleStrategy(QFont::ForceOutline | QFont::NoFontMerging));
    f.setKerning(false);
    return f;
}

} // namespace

QString FontMetricsCache::familyFor(const QString &name)
{
    if (name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    if (name.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Mono");
    return name;
}

FontMetricsCache::Entry &FontMetricsCache::entry(const FontSpec &fontSpec)
{
    for (const auto &[asked, known] : m_asked) {
        if (asked == fontSpec)
            return *known;
    }
    Entry &found = lookup(fontSpec);
    if (m_asked.size() < MaxAsked)
        m_asked.emplace_back(fontSpec, &found);
    return found;
}

FontMetricsCache::Entry &FontMetricsCache::lookup(const FontSpec &fontSpec)
{
    const QString key = fontSpec.name.toLower() + u'|' + QString::number(fontSpec.size) + u'|'
        + QLatin1Char(fontSpec.bold ? 'b' : '-') + QLatin1Char(fontSpec.italic ? 'i' : '-');
    auto it = m_entries.constFind(key);
    if (it != m_entries.constEnd())
        return **it;
    const auto font = [&](bool merging) {
        return makeFont(familyFor(fontSpec.name), fontSpec.size, fontSpec.bold, fontSpec.italic, merging);
    };
    QFontMetricsF metrics(font(false), &twipsDevice());
    QRawFont raw = QRawFont::fromFont(font(false));
    raw.setPixelSize(fontSpec.size * 20.0); // one pixel per twip
    auto e = std::make_shared<Entry>(Entry{font(true), metrics, metrics.ascent(), metrics.lineSpacing(),
                                           std::make_shared<FontGlyphs>(raw, font(true), &twipsDevice())});
    m_entries.insert(key, e);
    return *e;
}

} // namespace tarvel::platform
