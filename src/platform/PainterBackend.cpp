#include "platform/PainterBackend.h"

#include "platform/RuntimeError.h"

#include <QPagedPaintDevice>
#include <cmath>

namespace tarvel::platform {

bool PainterBackend::beginPainting(QPaintDevice *device)
{
    m_device = device;
    if (!m_painter.begin(device))
        return false;
    m_scaleX = device->logicalDpiX() / 1440.0;
    m_scaleY = device->logicalDpiY() / 1440.0;
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(Qt::NoPen);
    applyTurn();
    return true;
}

void PainterBackend::applyTurn()
{
    // (x, y) of the turned page lands at (width - y, x): its left edge along the top.
    m_painter.setTransform(m_turnWidth > 0 ? QTransform(0, 1, -1, 0, m_turnWidth, 0) : QTransform());
}

void PainterBackend::flushBars()
{
    if (m_bars.isEmpty())
        return;
    m_rects.clear();
    for (const PendingBar &b : std::as_const(m_bars))
        m_rects.append(QRectF(b.left + m_barInset, b.top, b.right - b.left - 2 * m_barInset, b.height));
    m_bars.clear();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor::fromRgba(m_barColor));
    m_painter.drawRects(m_rects.constData(), int(m_rects.size()));
}

void PainterBackend::endPainting()
{
    if (m_painter.isActive())
        flushBars();
    if (m_painter.isActive())
        m_painter.end();
    m_device = nullptr;
}

void PainterBackend::newPage()
{
    flushBars();
    auto *paged = dynamic_cast<QPagedPaintDevice *>(m_device);
    if (!paged || !paged->newPage())
        throw RuntimeError(RuntimeError::PrinterError, QStringLiteral("neue Seite nicht möglich"));
    m_painter.setClipping(false); // the surface sends its clip again for the new page
    applyTurn();
}

void PainterBackend::setClip(const QRectF &twips)
{
    // The bars gathered so far belong to the clip they were drawn under.
    flushBars();
    if (twips.isNull())
        m_painter.setClipping(false);
    else
        m_painter.setClipRect(QRectF(px(twips.left()), py(twips.top()), lx(twips.width()), ly(twips.height())));
}

void PainterBackend::drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face,
                              const QColor &color, const QString &text)
{
    flushBars();
    auto it = m_deviceFonts.find(&face);
    if (it == m_deviceFonts.end()) {
        QRawFont raw = face.glyphs->rawFont();
        raw.setPixelSize(fontSpec.size * m_device->logicalDpiY() / 72.0);
        it = m_deviceFonts.insert(&face, raw);
    }
    m_painter.setPen(color);
    const QPointF baseline(px(x), py(y + face.ascent));
    if (face.glyphs->needsShaping(text)) {
        // Shaped in twips, in the face and its fallback fonts: scaled to the device here.
        for (QGlyphRun run : face.glyphs->shapedRuns(text)) {
            QRawFont raw = run.rawFont();
            raw.setPixelSize(raw.pixelSize() * m_scaleY);
            QList<QPointF> positions = run.positions();
            for (QPointF &p : positions)
                p = QPointF(lx(p.x()), ly(p.y())); // relative to the baseline
            run.setRawFont(raw);
            run.setPositions(positions);
            m_painter.drawGlyphRun(baseline, run);
        }
        return;
    }
    // Glyphs placed at the advances TextWidth measured: no shaping on the way.
    face.glyphs->layout(text, m_glyphs, m_positions);
    m_points.resize(m_positions.size());
    for (qsizetype i = 0; i < m_positions.size(); ++i)
        m_points[i] = QPointF(lx(m_positions[i]), 0.0);
    QGlyphRun run;
    run.setRawFont(*it);
    run.setGlyphIndexes(m_glyphs);
    run.setPositions(m_points);
    m_painter.drawGlyphRun(baseline, run);
}

void PainterBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color)
{
    if (x1 == x2) {
        const double top = py(std::min(y1, y2));
        const double height = ly(std::abs(y2 - y1));
        const QRgb rgb = color.rgba();
        const double penDots = std::max(1.0, std::round(lx(penWidth)));
        const bool sameKind = !m_bars.isEmpty() && rgb == m_barColor && m_bars.last().top == top
                              && m_bars.last().height == height && penWidth == m_lastPen;
        const double step = x1 - m_lastModuleX;
        double dot;
        if (sameKind && step >= 0 && step <= 6 * penWidth)
            dot = m_lastModuleDot + std::round(step / penWidth) * penDots;
        else
            dot = std::round(px(x1));
        m_lastModuleX = x1;
        m_lastModuleDot = dot;
        m_lastPen = penWidth;
        if (sameKind && dot >= m_bars.last().left && dot <= m_bars.last().right) {
            m_bars.last().right = std::max(m_bars.last().right, dot + penDots);
            return;
        }
        if (!m_bars.isEmpty() && rgb != m_barColor)
            flushBars();
        m_barColor = rgb;
        m_bars.append({dot, dot + penDots, top, height});
        return;
    }
    flushBars();
    QPen pen(color, lx(penWidth), Qt::SolidLine, Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(px(x1), py(y1)), QPointF(px(x2), py(y2)));
}

void PainterBackend::drawRotatedText(double x, double y, double, double ascent, const QFont &font,
                                     const QColor &color, const QString &text)
{
    flushBars();
    m_painter.save();
    m_painter.translate(px(x), py(y));
    m_painter.rotate(-90.0);
    m_painter.setFont(font);
    m_painter.setPen(color);
    m_painter.drawText(QPointF(0.0, ly(ascent)), text);
    m_painter.restore();
}

} // namespace tarvel::platform
