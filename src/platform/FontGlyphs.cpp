#include "platform/FontGlyphs.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace tarvel::platform {

namespace {

constexpr qsizetype MaxShaped = 256;

/// The code point at \a i of \a text, moving \a i past it.
char32_t nextCodePoint(QStringView text, qsizetype &i)
{
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return c.unicode();
}
} // namespace

FontGlyphs::FontGlyphs(QRawFont raw, QFont fallback, const QPaintDevice *twips)
    : m_raw(std::move(raw)), m_fallback(std::move(fallback)), m_twips(twips)
{
}

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
    // Control characters have no glyph and stay plain; right-to-left letters
    // (Hebrew is in Liberation Sans) need the bidirectional order of shaping.
    const auto direction = QChar::direction(c);
    g.plain = !m_twips || ((g.index != 0 || QChar::category(c) == QChar::Other_Control)
                           && direction != QChar::DirR && direction != QChar::DirAL);
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
    bool plain = true;
    for (qsizetype i = 0; i < text.size();) {
        const Glyph &g = glyph(nextCodePoint(text, i));
        w += g.advance;
        plain = plain && g.plain;
    }
    return plain ? w : shaped(text).width;
}

bool FontGlyphs::needsShaping(QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        if (!glyph(nextCodePoint(text, i)).plain)
            return true;
    }
    return false;
}

const FontGlyphs::Shaped &FontGlyphs::shaped(QStringView text)
{
    const QString key = text.toString();
    auto it = m_shaped.constFind(key);
    if (it != m_shaped.constEnd())
        return *it;
    if (m_shaped.size() >= MaxShaped)
        m_shaped.clear();
    QTextLayout layout(key, m_fallback, m_twips);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); // a right-to-left text starts at x 0 too
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    Shaped s;
    if (line.isValid()) {
        s.width = line.naturalTextWidth();
        for (QGlyphRun run : layout.glyphRuns()) {
            QList<QPointF> positions = run.positions();
            for (QPointF &p : positions)
                p = QPointF(p.x() - line.x(), p.y() - line.ascent());
            run.setPositions(positions);
            s.runs.append(run);
        }
    }
    return *m_shaped.insert(key, s);
}

qsizetype FontGlyphs::shapedFittingLength(QStringView text, double maxWidth)
{
    // Whole characters as a reader sees them (a letter with its marks): the
    // longest start whose width() fits, found by halving.
    QList<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData(), text.size());
    for (qsizetype b = finder.toNextBoundary(); b > 0; b = finder.toNextBoundary())
        ends.append(b);
    qsizetype lo = 0, hi = ends.size(); // the first lo characters fit, the first hi + 1 do not
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (width(text.first(ends[mid - 1])) <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo == 0 ? 0 : ends[lo - 1];
}

qsizetype FontGlyphs::fittingLength(QStringView text, double maxWidth)
{
    if (needsShaping(text))
        return shapedFittingLength(text, maxWidth);
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
