#include "platform/RecordingBackend.h"

#include "platform/RuntimeError.h"

namespace tarvel::platform {

RecordingBackend::RecordingBackend(double dpi, QString deviceName)
    : m_dpi(dpi), m_deviceName(std::move(deviceName))
{
}

void RecordingBackend::maybeFail()
{
    if (m_failNext) {
        m_failNext = false;
        throw RuntimeError(RuntimeError::PrinterError, QStringLiteral("Aufzeichnung gestört"));
    }
}

void RecordingBackend::beginJob()
{
    maybeFail();
    auto op = RecordedOp::of(RecordedOp::BeginJob);
    op.landscape = m_landscape;
    m_ops.append(op);
}

void RecordingBackend::newPage()
{
    maybeFail();
    auto op = RecordedOp::of(RecordedOp::NewPage);
    op.landscape = m_landscape;
    m_ops.append(op);
}

void RecordingBackend::drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &,
                                const QColor &color, const QString &text)
{
    maybeFail();
    auto op = RecordedOp::of(RecordedOp::Text);
    op.x = x;
    op.y = y;
    op.text = text;
    op.font = fontSpec;
    op.color = color;
    m_ops.append(op);
}

void RecordingBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color)
{
    maybeFail();
    auto op = RecordedOp::of(RecordedOp::Line);
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.height = y2 - y1;
    op.penWidth = penWidth * m_dpi / 1440.0;
    op.color = color;
    m_ops.append(op);
}

void RecordingBackend::drawRotatedText(double x, double y, double emHeight, double, const QFont &font,
                                       const QColor &color, const QString &text)
{
    maybeFail();
    auto op = RecordedOp::of(RecordedOp::RotatedText);
    op.x = x;
    op.y = y;
    op.height = emHeight;
    op.text = text;
    op.font = FontSpec{font.family(), emHeight / 20.0, font.bold(), font.italic()};
    op.color = color;
    m_ops.append(op);
}

QString RecordingBackend::endJob()
{
    maybeFail();
    m_ops.append(RecordedOp::of(RecordedOp::EndJob));
    return m_deviceName;
}

void RecordingBackend::setClip(const QRectF &twips)
{
    // Clipping draws nothing, so it never fails: a label's clean-up must not throw.
    RecordedOp op = RecordedOp::of(twips.isNull() ? RecordedOp::NoClip : RecordedOp::Clip);
    op.x = twips.left();
    op.y = twips.top();
    op.x2 = twips.right();
    op.y2 = twips.bottom();
    m_ops.append(op);
}

void RecordingBackend::cancelJob()
{
    m_ops.append(RecordedOp::of(RecordedOp::CancelJob));
}

} // namespace tarvel::platform
