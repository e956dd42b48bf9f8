#pragma once

#include "platform/PageSetup.h"
#include "platform/PrinterBackend.h"

namespace tarvel::runs {

/// The backend a preview runs a print run on: it counts the run's pages and
/// hands the drawing of one chosen page on to another backend (an image, a
/// recording); the drawing of every other page is dropped. It tells the run the
/// page and resolution of the printer the run will print on, so that the
/// layouts lay the pages out exactly as they will print. Nothing is delivered.
class VorschauBackend final : public platform::PrinterBackend
{
public:
    /// Draws page \a seite (from 1) onto \a ziel, which stays the caller's; with
    /// seite 0 or no ziel the pages are only counted.
    VorschauBackend(platform::PageSetup setup, QString name, int seite = 0, platform::PrinterBackend *ziel = nullptr);

    /// The pages begun so far.
    int seiten() const { return m_seite; }
    /// Whether the chosen page is complete: the run need not go on.
    bool fertig() const { return m_seite > m_gewuenscht && m_gewuenscht > 0; }

    QString deviceName() const override { return m_name; }
    double dpiX() const override { return m_setup.dpiX; }
    double dpiY() const override { return m_setup.dpiY; }
    QSizeF printableSize() const override;
    void beginJob() override;
    void newPage() override;
    void setPageShape(bool landscape) override { m_landscape = landscape; }
    void drawText(double x, double y, const platform::FontSpec &fontSpec, platform::FontMetricsCache::Entry &face,
                  const QColor &color, const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;
    void setClip(const QRectF &twips) override;
    QString endJob() override;
    void cancelJob() override;

private:
    /// The backend the current page goes to, or null.
    platform::PrinterBackend *ziel() const { return m_offen ? m_ziel : nullptr; }
    void seiteBeginnen();
    void seiteBeenden();

    platform::PageSetup m_setup;
    QString m_name;
    int m_gewuenscht;
    platform::PrinterBackend *m_ziel;
    int m_seite = 0;
    bool m_landscape = false;
    bool m_offen = false; ///< the chosen page is being drawn onto m_ziel
};

} // namespace tarvel::runs
