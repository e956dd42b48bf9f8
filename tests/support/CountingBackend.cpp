#include "support/CountingBackend.h"

namespace tarvel::test {

CountingBackend::CountingBackend(double dpi) : m_dpi(dpi) {}

void CountingBackend::beginJob()
{
    ++m_counts.jobs;
    ++m_counts.pages;
}

void CountingBackend::newPage() { ++m_counts.pages; }

void CountingBackend::drawText(double, double, const platform::FontSpec &fontSpec, platform::FontMetricsCache::Entry &,
                               const QColor &, const QString &text)
{
    ++m_counts.texts;
    m_counts.textChars += text.size();
    if (m_seen)
        m_seen(text, fontSpec);
}

void CountingBackend::drawLine(double, double, double, double, double, const QColor &) { ++m_counts.lines; }

void CountingBackend::drawRotatedText(double, double, double, double, const QFont &, const QColor &,
                                      const QString &)
{
    ++m_counts.rotated;
}

QString CountingBackend::endJob()
{
    ++m_counts.delivered;
    return deviceName();
}

void CountingBackend::cancelJob() { ++m_counts.cancelled; }

} // namespace tarvel::test
