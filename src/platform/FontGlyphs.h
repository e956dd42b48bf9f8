#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QStringView>
#include <array>

class QPaintDevice;

namespace tarvel::platform {

/// The glyphs of one font and their advances in twips, looked up once per
/// character. Text is laid out glyph by glyph, without kerning or shaping, so
/// what TextWidth measures is exactly what the surface draws. A text with a
/// character the font lacks (Arabic, Thai or Chinese in Liberation Sans) or
/// written right to left is shaped instead, in this font and the installed
/// fonts the system falls back to for those characters; it is measured from
/// the same shaped runs that are drawn.
class FontGlyphs
{
public:
    /// \a raw must be sized at one pixel per twip. \a fallback is the same
    /// font with font merging allowed, \a twips a device of 1440 dots per inch;
    /// without them every text is laid out glyph by glyph.
    explicit FontGlyphs(QRawFont raw, QFont fallback = {}, const QPaintDevice *twips = nullptr);

    const QRawFont &rawFont() const { return m_raw; }

    /// Width of \a text in twips.
    double width(QStringView text);
    /// Length in UTF-16 units of the longest start of \a text, whole characters
    /// only, whose width is at most \a maxWidth: measured in one pass.
    qsizetype fittingLength(QStringView text, double maxWidth);
    /// Glyph indexes of \a text and the x of each glyph from the text's start, in twips.
    void layout(QStringView text, QList<quint32> &glyphs, QList<double> &positions);

    /// Whether \a text is shaped rather than laid out glyph by glyph.
    bool needsShaping(QStringView text);
    /// \a text shaped, in the font and its fallbacks: glyph runs in twips,
    /// from x 0 at the text's left edge, the baseline at y 0.
    const QList<QGlyphRun> &shapedRuns(QStringView text) { return shaped(text).runs; }

private:
    struct Glyph
    {
        quint32 index = 0;
        double advance = 0;
        bool plain = true; ///< in this font, left to right: no shaping needed
    };
    struct Shaped
    {
        QList<QGlyphRun> runs;
        double width = 0;
    };
    const Glyph &glyph(char32_t c);
    const Shaped &shaped(QStringView text);
    qsizetype shapedFittingLength(QStringView text, double maxWidth);

    QRawFont m_raw;
    std::array<Glyph, 256> m_latin{};
    std::array<bool, 256> m_latinKnown{};
    QHash<char32_t, Glyph> m_other;
    QFont m_fallback;
    const QPaintDevice *m_twips = nullptr;
    QHash<QString, Shaped> m_shaped; ///< the texts shaped last: a layout measures a text, then draws it
};

} // namespace tarvel::platform
