#include "platform/MeasuringBackend.h"

#include <QFontMetricsF>

namespace tarvel::platform {

MeasuringBackend::MeasuringBackend(double dpi, const QSizeF &printable, QString deviceName)
    : m_dpi(dpi), m_printable(printable), m_deviceName(std::move(deviceName))
{
}

QRectF MeasuringBackend::pageRect() const
{
    const QSizeF size = m_landscape && m_printable.height() > m_printable.width() ? m_printable.transposed()
                                                                                 : m_printable;
    return QRectF(QPointF(0, 0), size);
}

void MeasuringBackend::beginJob()
{
    m_page = 1;
    m_clip = QRectF();
    m_tag = DrawTag();
    m_barsOpen = false;
}

void MeasuringBackend::newPage()
{
    ++m_page;
    m_clip = QRectF();
    m_barsOpen = false;
}

QList<MeasuredItem> MeasuringBackend::take()
{
    m_barsOpen = false;
    return std::exchange(m_items, {});
}

void MeasuringBackend::add(MeasuredItem::Kind kind, const QRectF &whole)
{
    MeasuredItem item;
    item.kind = kind;
    item.whole = whole;
    item.clip = m_clip.isNull() ? pageRect() : m_clip & pageRect();
    item.visible = whole & item.clip;
    item.field = m_tag.field;
    item.record = m_tag.record;
    item.page = m_page;
    m_items.append(item);
}

void MeasuringBackend::drawText(double x, double y, const FontSpec &, FontMetricsCache::Entry &face, const QColor &,
                                const QString &text)
{
    m_barsOpen = false;
    add(MeasuredItem::Text, QRectF(x, y, face.glyphs->width(text), face.lineSpacing));
}

void MeasuringBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &)
{
    if (x1 != x2) {
        m_barsOpen = false;
        add(MeasuredItem::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
        return;
    }
    // A bar is drawn from its x to the right, one pen wide: the bars of one barcode make one item.
    const QRectF bar(x1, std::min(y1, y2), penWidth, std::abs(y2 - y1));
    if (m_barsOpen) {
        MeasuredItem &last = m_items.last();
        if (last.field == m_tag.field && last.record == m_tag.record && last.whole.top() == bar.top()
            && last.whole.height() == bar.height() && bar.left() >= last.whole.left()) {
            last.whole |= bar;
            last.visible = last.whole & last.clip;
            return;
        }
    }
    add(MeasuredItem::Bar, bar);
    m_barsOpen = true;
}

void MeasuringBackend::drawRotatedText(double x, double y, double emHeight, double, const QFont &font,
                                       const QColor &, const QString &text)
{
    // Turned counter-clockwise about its top-left corner, it rises from there; measured at one pixel a twip.
    m_barsOpen = false;
    QFont twips(font);
    twips.setPixelSize(std::max(1, qRound(emHeight)));
    const QFontMetricsF metrics(twips);
    const double length = metrics.horizontalAdvance(text);
    add(MeasuredItem::Text, QRectF(x, y - length, metrics.height(), length));
}

} // namespace tarvel::platform
