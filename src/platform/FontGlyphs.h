#pragma once

#include <QHash>
#include <QList>
#include <QRawFont>
#include <QStringView>
#include <array>

namespace tarvel::platform {

/// The glyphs of one font and their advances in twips, looked up once per
/// character. Text is laid out glyph by glyph, without kerning or shaping, so
/// what TextWidth measures is exactly what the surface draws.
class FontGlyphs
{
public:
    /// \a raw must be sized at one pixel per twip.
    explicit FontGlyphs(QRawFont raw);

    const QRawFont &rawFont() const { return m_raw; }

    /// Width of \a text in twips.
    double width(QStringView text);
    /// Length in UTF-16 units of the longest start of \a text, whole characters
    /// only, whose width is at most \a maxWidth: measured in one pass.
    qsizetype fittingLength(QStringView text, double maxWidth);
    /// Glyph indexes of \a text and the x of each glyph from the text's start, in twips.
    void layout(QStringView text, QList<quint32> &glyphs, QList<double> &positions);

private:
    struct Glyph
    {
        quint32 index = 0;
        double advance = 0;
    };
    const Glyph &glyph(char32_t c);

    QRawFont m_raw;
    std::array<Glyph, 256> m_latin{};
    std::array<bool, 256> m_latinKnown{};
    QHash<char32_t, Glyph> m_other;
};

} // namespace tarvel::platform
