#pragma once

#include "platform/PdfBackend.h"

#include <memory>

namespace tarvel::platform {

/// A printer of the system, through CUPS. A job is drawn into a PDF at the
/// printer's own media, printable area and resolution (as the queue is set up,
/// or as the user picked in a printer dialog) and handed to CUPS unscaled at its
/// end. A job that CUPS does not take is kept as a PDF in the jobs folder:
/// nothing is lost.
class SystemPrinterBackend final : public PrinterBackend
{
public:
    SystemPrinterBackend(const QString &printerName, const PageSetup &setup, const QString &jobsFolder);
    /// The queue as it is set up, jobs kept in the process's jobs folder.
    explicit SystemPrinterBackend(const QString &printerName);
    ~SystemPrinterBackend() override;

    QString deviceName() const override { return m_name; }
    double dpiX() const override { return m_spool.dpiX(); }
    double dpiY() const override { return m_spool.dpiY(); }
    QSizeF printableSize() const override { return m_spool.printableSize(); }
    const PageSetup &setup() const { return m_setup; }
    const PageSetup *pageSetup() const override { return &m_setup; }

    void beginJob() override;
    void newPage() override { m_spool.newPage(); }
    void setPageShape(bool landscape) override { m_spool.setPageShape(landscape); }
    void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face, const QColor &color,
                  const QString &text) override
    {
        m_spool.drawText(x, y, fontSpec, face, color, text);
    }
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override
    {
        m_spool.drawLine(x1, y1, x2, y2, penWidth, color);
    }
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font, const QColor &color,
                         const QString &text) override
    {
        m_spool.drawRotatedText(x, y, emHeight, ascent, font, color, text);
    }
    void setClip(const QRectF &twips) override { m_spool.setClip(twips); }
    /// Returns "<printer> (Auftrag <id>)".
    QString endJob() override;
    void cancelJob() override { m_spool.cancelJob(); }

    /// Whether the system knows a printer of that name.
    static bool exists(const QString &printerName);

private:
    QString m_name;
    PageSetup m_setup;
    PdfBackend m_spool;
};

} // namespace tarvel::platform
