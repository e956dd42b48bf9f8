#pragma once

#include "platform/PrinterBackend.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>

class QPaintDevice;

namespace tarvel::platform {

/// Drawing through QPainter, shared by the PDF and the system-printer backend.
class PainterBackend : public PrinterBackend
{
public:
    void newPage() override;
    void setClip(const QRectF &twips) override;
    void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face, const QColor &color,
                  const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;

protected:
    /// Draws the bars gathered so far.
    void flushBars();
    /// Starts painting on \a device; false if the device refused. Only a paged
    /// device (a printer, a PDF) takes a new page; an image holds one page.
    bool beginPainting(QPaintDevice *device);
    /// Where the printable area begins on the device's page, in its pixels
    /// (zero where the device's own origin is that corner).
    void setOrigin(const QPointF &pixels) { m_originX = pixels.x(); m_originY = pixels.y(); }
    /// Narrows every bar by \a pixels on each side (not its place or pitch):
    /// a rasteriser that blackens every dot a shape touches then still gives
    /// each bar and space its whole number of dots.
    void setBarInset(double pixels) { m_barInset = pixels; }
    /// Draws the pages turned a quarter clockwise onto a page \a pageWidth
    /// pixels wide (a landscape label across portrait media); 0 draws them as
    /// they are. Holds from the next page on.
    void setTurn(double pageWidth) { m_turnWidth = pageWidth; }
    void endPainting();
    bool isPainting() const { return m_painter.isActive(); }

private:
    /// Device pixels of a position in twips.
    double px(double twips) const { return m_originX + twips * m_scaleX; }
    double py(double twips) const { return m_originY + twips * m_scaleY; }
    /// Device pixels of a length in twips.
    double lx(double twips) const { return twips * m_scaleX; }
    double ly(double twips) const { return twips * m_scaleY; }

    QPainter m_painter;
    QPaintDevice *m_device = nullptr;
    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    double m_originX = 0.0;
    double m_originY = 0.0;
    double m_barInset = 0.0;
    double m_turnWidth = 0.0;
    void applyTurn();
    QHash<const FontMetricsCache::Entry *, QRawFont> m_deviceFonts; ///< per face, at the device's size
    QList<quint32> m_glyphs;
    QList<double> m_positions;
    QList<QPointF> m_points;

    // The modules of a barcode arrive as touching lines of the pen's width. Each
    // module is put on the device's dot grid a whole number of pen widths after
    // the one before, so every bar and space is a whole number of modules wide
    // in dots; the modules of one bar become one rectangle, and the bars of a
    // barcode are drawn together.
    struct PendingBar
    {
        double left = 0, right = 0, top = 0, height = 0; ///< device pixels
    };
    QList<PendingBar> m_bars;
    QRgb m_barColor = 0;
    double m_lastModuleX = 0;   ///< twips of the last module line
    double m_lastModuleDot = 0; ///< where it went on the dot grid
    double m_lastPen = 0;       ///< its pen width in twips
    QList<QRectF> m_rects;
};

} // namespace tarvel::platform
