#pragma once

#include "platform/DrawTag.h"
#include "platform/FontMetricsCache.h"
#include "platform/FontSpec.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace tarvel::platform {

/// Where the printer surface draws: a PDF file, a system printer or a recording.
/// All positions are twips from the top-left of the printable area. Failures
/// are thrown as RuntimeError (482 for the printer).
class PrinterBackend
{
public:
    virtual ~PrinterBackend() = default;

    virtual QString deviceName() const = 0;
    virtual double dpiX() const = 0;
    virtual double dpiY() const = 0;
    /// Width and height of the printable area of the printer's own page (not
    /// turned by a landscape wish), in twips;
    /// an A4 page without margins where the backend knows no page.
    virtual QSizeF printableSize() const { return {11906.0, 16838.0}; }

    /// How a system printer's pages are laid out (its media, printable area and
    /// driver); null for the surfaces whose pages no driver rasterises.
    virtual const struct PageSetup *pageSetup() const { return nullptr; }

    /// Opens a job with its first page.
    virtual void beginJob() = 0;
    /// Ends the current page and starts the next one.
    virtual void newPage() = 0;
    /// Whether the pages begun from now on are to lie with their long edge
    /// horizontal. A backend that cannot turn its pages ignores it.
    virtual void setPageShape(bool landscape) { Q_UNUSED(landscape); }
    /// Text whose line cell has its top-left corner at (x, y), in the font of
    /// \a face (its ascent places the baseline, its glyphs the characters).
    virtual void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face,
                          const QColor &color, const QString &text) = 0;
    /// A straight line of \a penWidth twips; vertical lines are the bars.
    virtual void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) = 0;
    /// Text turned 90 degrees counter-clockwise, top-left corner (before turning)
    /// at (x, y), in \a font whose em height is \a emHeight twips.
    virtual void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                                 const QColor &color, const QString &text) = 0;
    /// Confines later drawing on this page to \a twips; a null rectangle lifts it.
    /// The surface sends it again after every new page.
    virtual void setClip(const QRectF &twips) { Q_UNUSED(twips); }
    /// What the drawing from here on belongs to (a field of a record); sent
    /// before the next drawing whenever it changed. Only a measuring surface needs it.
    virtual void setTag(const DrawTag &tag) { Q_UNUSED(tag); }
    /// Whether texts are to arrive whole. Otherwise the surface hands on only
    /// what of a text its clip can show, so a text costs what it shows.
    virtual bool wantsWholeTexts() const { return false; }
    /// Ends the job and delivers it; returns where it went (a path or a queue).
    virtual QString endJob() = 0;
    /// Drops the open job; nothing of it is delivered.
    virtual void cancelJob() = 0;
};

} // namespace tarvel::platform
