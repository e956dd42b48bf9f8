#include "platform/FontGlyphs.h"


namespace tarvel::platform {

namespace {
/// The code point at \a i of \a text, moving \a i past it.
char32_t nextCodePoint(QStringView text, qsizetype &i)
{
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return c.unicode();
}
} // namespace

FontGlyphs::FontGlyphs(QRawFont raw) : m_raw(std::move(raw)) {}

const FontGlyphs::Glyph &FontGlyphs::glyph(char32_t c)
{
    if (c < 256 && m_latinKnown[c])
        return m_latin[c];
    if (c >= 256) {
        auto it = m_other.constFind(c);
        if (it != m_other.constEnd())
            return *it;
    }
    Glyph g;
    QChar units[2];
    int count = 1;
    if (QChar::requiresSurrogates(c)) {
        units[0] = QChar::highSurrogate(c);
        units[1] = QChar::lowSurrogate(c);
        count = 2;
    } else {
        units[0] = QChar(char16_t(c));
    }
    quint32 index = 0;
    int found = 1;
    if (m_raw.glyphIndexesForChars(units, count, &index, &found) && found == 1) {
        QPointF advance;
        m_raw.advancesForGlyphIndexes(&index, &advance, 1, QRawFont::UseDesignMetrics);
        g = {index, advance.x()};
    }
    if (c < 256) {
        m_latin[c] = g;
        m_latinKnown[c] = true;
        return m_latin[c];
    }
    return *m_other.insert(c, g);
}

double FontGlyphs::width(QStringView text)
{
    double w = 0;
    for (qsizetype i = 0; i < text.size();)
        w += glyph(nextCodePoint(text, i)).advance;
    return w;
}

qsizetype FontGlyphs::fittingLength(QStringView text, double maxWidth)
{
    // The same sum in the same order as width(), so a start fits exactly when width() says so.
    double w = 0;
    qsizetype end = 0;
    for (qsizetype i = 0; i < text.size();) {
        w += glyph(nextCodePoint(text, i)).advance;
        if (w > maxWidth)
            break;
        end = i;
    }
    return end;
}

void FontGlyphs::layout(QStringView text, QList<quint32> &glyphs, QList<double> &positions)
{
    glyphs.clear();
    positions.clear();
    double x = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Glyph &g = glyph(nextCodePoint(text, i));
        glyphs.append(g.index);
        positions.append(x);
        x += g.advance;
    }
}

} // namespace tarvel::platform
