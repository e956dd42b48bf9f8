#pragma once

#include "platform/DrawTag.h"
#include "platform/PrinterBackend.h"

#include <QList>
#include <QRectF>

namespace tarvel::platform {

/// One thing a layout drew, as the measuring surface saw it. Twips from the
/// top-left corner of the printable area.
struct MeasuredItem
{
    enum Kind { Text, Bar, Line };
    Kind kind = Text;
    QRectF whole;   ///< the extent as drawn, before any clip: a text's line cell at its full width,
                    ///< a barcode's bars from the first to the end of the last
    QRectF visible; ///< what of it shows: inside the clip and the page; empty when nothing does
    QRectF clip;    ///< the clip it was drawn in, the page's printable area where none
    QString field;  ///< the field being drawn (FieldTag), empty for none
    qint64 record = 0; ///< the record's line in its file (Printer::setTagRecord), 0 for none
    int page = 1;   ///< page of the job, counted from 1

    /// Whether the clip or the page's edge hides part of it.
    bool cut() const { return visible != whole; }
};

/// A printer surface that renders nothing and measures everything a layout
/// draws: each text (before and after its clip), each barcode (its bars as
/// one item) and each line, tagged with the field and the record being drawn.
/// The check before printing runs the real layouts on it; so does whoever must
/// know what a layout needs of a page (the fit of a layout to a printer's
/// media). Text widths are those the other surfaces draw with (FontGlyphs).
class MeasuringBackend final : public PrinterBackend
{
public:
    /// A surface with the resolution and printable area of the printer the
    /// layouts will print on.
    MeasuringBackend(double dpi, const QSizeF &printable, QString deviceName = QStringLiteral("Messung"));

    QString deviceName() const override { return m_deviceName; }
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }
    QSizeF printableSize() const override { return m_printable; }

    void beginJob() override;
    void newPage() override;
    void setPageShape(bool landscape) override { m_landscape = landscape; }
    void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face, const QColor &color,
                  const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;
    void setClip(const QRectF &twips) override { m_clip = twips; }
    void setTag(const DrawTag &tag) override { m_tag = tag; }
    bool wantsWholeTexts() const override { return true; }
    QString endJob() override { return m_deviceName; }
    void cancelJob() override {}

    /// Everything measured so far, in the order drawn.
    const QList<MeasuredItem> &items() const { return m_items; }
    /// The items measured so far, dropped from the surface: a long run stays small.
    QList<MeasuredItem> take();

private:
    QRectF pageRect() const;
    void add(MeasuredItem::Kind kind, const QRectF &whole);

    double m_dpi;
    QSizeF m_printable;
    QString m_deviceName;
    bool m_landscape = false;
    int m_page = 0;
    QRectF m_clip;
    DrawTag m_tag;
    QList<MeasuredItem> m_items;
    bool m_barsOpen = false; ///< the last item is a barcode that the next bar may extend
};

} // namespace tarvel::platform
