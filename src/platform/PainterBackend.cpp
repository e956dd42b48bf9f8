#include "platform/PainterBackend.h"

#include "platform/RuntimeError.h"

#include <QPagedPaintDevice>

namespace tarvel::platform {

bool PainterBackend::beginPainting(QPagedPaintDevice *device)
{
    m_device = device;
    m_lastFont = nullptr;
    if (!m_painter.begin(device))
        return false;
    m_scaleX = device->logicalDpiX() / 1440.0;
    m_scaleY = device->logicalDpiY() / 1440.0;
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(Qt::NoPen);
    return true;
}

void PainterBackend::endPainting()
{
    if (m_painter.isActive())
        m_painter.end();
    m_device = nullptr;
    m_lastFont = nullptr;
}

void PainterBackend::newPage()
{
    if (!m_device || !m_device->newPage())
        throw RuntimeError(RuntimeError::PrinterError, QStringLiteral("(neue Seite nicht möglich)"));
}

void PainterBackend::drawText(double x, double y, double ascent, const FontSpec &, const QFont &font,
                              const QColor &color, const QString &text)
{
    if (&font != m_lastFont) {
        m_painter.setFont(font);
        m_lastFont = &font;
    }
    m_painter.setPen(color);
    m_painter.drawText(QPointF(px(x), py(y + ascent)), text);
}

void PainterBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color)
{
    if (x1 == x2) {
        // A bar: a filled rectangle with its left edge on the line's x.
        const double top = std::min(y1, y2);
        m_painter.fillRect(QRectF(px(x1), py(top), px(penWidth), py(std::abs(y2 - y1))), color);
        return;
    }
    QPen pen(color, px(penWidth), Qt::SolidLine, Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(px(x1), py(y1)), QPointF(px(x2), py(y2)));
}

void PainterBackend::drawRotatedText(double x, double y, double, double ascent, const QFont &font,
                                     const QColor &color, const QString &text)
{
    m_painter.save();
    m_painter.translate(px(x), py(y));
    m_painter.rotate(-90.0);
    m_painter.setFont(font);
    m_lastFont = nullptr;
    m_painter.setPen(color);
    m_painter.drawText(QPointF(0.0, py(ascent)), text);
    m_painter.restore();
}

} // namespace tarvel::platform
