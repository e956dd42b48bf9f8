#include "runs/VorschauBackend.h"

namespace tarvel::runs {

VorschauBackend::VorschauBackend(platform::PageSetup setup, QString name, int seite, platform::PrinterBackend *ziel)
    : m_setup(std::move(setup)), m_name(std::move(name)), m_gewuenscht(ziel ? seite : 0), m_ziel(ziel)
{
}

QSizeF VorschauBackend::printableSize() const
{
    return m_setup.layout.paintRect(QPageLayout::Point).size() * 20.0;
}

void VorschauBackend::seiteBeginnen()
{
    ++m_seite;
    if (m_seite == m_gewuenscht) {
        m_ziel->setPageShape(m_landscape);
        m_ziel->beginJob();
        m_offen = true;
    }
}

void VorschauBackend::seiteBeenden()
{
    if (!m_offen)
        return;
    m_offen = false;
    m_ziel->endJob();
}

void VorschauBackend::beginJob()
{
    m_seite = 0;
    seiteBeginnen();
}

void VorschauBackend::newPage()
{
    seiteBeenden();
    seiteBeginnen();
}

void VorschauBackend::drawText(double x, double y, const platform::FontSpec &fontSpec,
                               platform::FontMetricsCache::Entry &face, const QColor &color, const QString &text)
{
    if (auto *z = ziel())
        z->drawText(x, y, fontSpec, face, color, text);
}

void VorschauBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color)
{
    if (auto *z = ziel())
        z->drawLine(x1, y1, x2, y2, penWidth, color);
}

void VorschauBackend::drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                                      const QColor &color, const QString &text)
{
    if (auto *z = ziel())
        z->drawRotatedText(x, y, emHeight, ascent, font, color, text);
}

void VorschauBackend::setClip(const QRectF &twips)
{
    if (auto *z = ziel())
        z->setClip(twips);
}

QString VorschauBackend::endJob()
{
    seiteBeenden();
    return m_name;
}

void VorschauBackend::cancelJob()
{
    // What the chosen page holds so far is shown all the same.
    seiteBeenden();
}

} // namespace tarvel::runs
