#pragma once

#include "platform/PrinterBackend.h"

#include <functional>

namespace tarvel::test {

/// A printer that keeps nothing but counts: for runs of hundreds of thousands
/// of labels, where a recording would itself fill the memory being measured.
class CountingBackend final : public platform::PrinterBackend
{
public:
    struct Counts
    {
        qint64 jobs = 0, pages = 0, texts = 0, textChars = 0, lines = 0, rotated = 0;
        qint64 delivered = 0, cancelled = 0;
    };
    using TextSeen = std::function<void(const QString &text, const platform::FontSpec &font)>;

    explicit CountingBackend(double dpi = 300.0);

    QString deviceName() const override { return QStringLiteral("Zähler"); }
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }

    void beginJob() override;
    void newPage() override;
    void drawText(double x, double y, const platform::FontSpec &fontSpec, platform::FontMetricsCache::Entry &face,
                  const QColor &color, const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;
    QString endJob() override;
    void cancelJob() override;

    const Counts &counts() const { return m_counts; }
    /// Called for every text drawn.
    void setTextSeen(TextSeen seen) { m_seen = std::move(seen); }

private:
    double m_dpi;
    Counts m_counts;
    TextSeen m_seen;
};

} // namespace tarvel::test
