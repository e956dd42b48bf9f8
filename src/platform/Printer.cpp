#include "platform/Printer.h"

#include "platform/PrinterBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcPrinter, "tarvel.printer")

namespace tarvel::platform {

Printer::Printer(PrinterChoice &choice) : m_choice(&choice) {}

Printer::Printer() : Printer(PrinterChoice::instance()) {}

Printer::Printer(std::unique_ptr<PrinterBackend> backend) : m_backend(std::move(backend)) {}

Printer::~Printer()
{
    if (m_jobOpen)
        KillDoc();
}

bool Printer::choiceChanged() const
{
    return m_choice && m_backend && m_generation != m_choice->generation();
}

PrinterBackend &Printer::backend()
{
    if (m_choice && (!m_backend || choiceChanged())) {
        if (m_jobOpen) {
            // The job so far belongs to the printer it was drawn for.
            const QString where = finishJob();
            qCInfo(lcPrinter) << "Anderer Drucker gewählt; der Auftrag bis hierher ging an" << where;
        }
        m_backend = m_choice->createBackend();
        m_generation = m_choice->generation();
    }
    return *m_backend;
}

void Printer::beforeDrawing()
{
    PrinterBackend &b = backend();
    if (!m_jobOpen) {
        b.setPageShape(m_landscapeWish);
        b.beginJob();
        m_jobOpen = true;
        m_page = 1;
        m_pendingPageBreaks = 0;
        m_sentClip = QRectF();
    }
    while (m_pendingPageBreaks > 0) {
        b.setPageShape(m_landscapeWish && m_pendingPageBreaks == 1);
        b.newPage();
        --m_pendingPageBreaks;
        ++m_page;
        m_sentClip = QRectF();
    }
    if (m_clip != m_sentClip) {
        b.setClip(m_clip);
        m_sentClip = m_clip;
    }
}

void Printer::setClip(double x, double y, double width, double height)
{
    m_clip = QRectF(x, y, std::max(width, 1.0), std::max(height, 1.0));
}

FontMetricsCache::Entry &Printer::metrics()
{
    if (!m_metrics)
        m_metrics = &m_fonts.entry(m_font);
    return *m_metrics;
}

void Printer::setFontName(const QString &name)
{
    if (name != m_font.name) {
        m_font.name = name;
        m_metrics = nullptr;
    }
}

void Printer::setFontSize(double points)
{
    if (!(points > 0.0) || points > 2160.0)
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("(Schriftgröße %1)").arg(points));
    if (points != m_font.size) {
        m_font.size = points;
        m_metrics = nullptr;
    }
}

void Printer::setFontBold(bool bold)
{
    if (bold != m_font.bold) {
        m_font.bold = bold;
        m_metrics = nullptr;
    }
}

void Printer::setFontItalic(bool italic)
{
    if (italic != m_font.italic) {
        m_font.italic = italic;
        m_metrics = nullptr;
    }
}

QColor Printer::QBColor(int index)
{
    static const QRgb palette[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0),   qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 255, 0),     qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255),   qRgb(255, 255, 0),   qRgb(255, 255, 255),
    };
    if (index < 0 || index > 15)
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("(Farbe %1)").arg(index));
    return QColor(palette[index]);
}

void Printer::setDrawWidth(int pixels)
{
    if (pixels < 1)
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("(Strichbreite %1)").arg(pixels));
    m_drawWidth = pixels;
}

double Printer::TwipsPerPixelX() { return 1440.0 / backend().dpiX(); }
double Printer::TwipsPerPixelY() { return 1440.0 / backend().dpiY(); }
QString Printer::DeviceName() { return backend().deviceName(); }
double Printer::ScaleWidth() { return backend().printableSize().width(); }

double Printer::TextWidth(const QString &text)
{
    return metrics().glyphs->width(text);
}

double Printer::TextHeight() { return metrics().lineSpacing; }

QString Printer::NumberItem(qint64 value)
{
    return value < 0 ? QString::number(value) + u' ' : u' ' + QString::number(value) + u' ';
}

void Printer::PrintInline(const QString &text)
{
    if (text.isEmpty())
        return;
    auto &m = metrics();
    beforeDrawing();
    m_backend->drawText(m_x, m_y, m_font, m, m_foreColor, text);
    m_x += m.glyphs->width(text);
}

void Printer::Print(const QString &text)
{
    if (text.isEmpty())
        beforeDrawing(); // an empty line still belongs to the page
    else
        PrintInline(text);
    m_x = 0;
    m_y += metrics().lineSpacing;
}

void Printer::Line(double x1, double y1, double dx, double dy, const QColor &color)
{
    const double penTwips = m_drawWidth * TwipsPerPixelX();
    beforeDrawing();
    m_backend->drawLine(x1, y1, x1 + dx, y1 + dy, penTwips, color);
    m_x = x1 + dx;
    m_y = y1 + dy;
}

void Printer::PrintRotated(const QString &text, double emHeight)
{
    const FontSpec fontSpec{QStringLiteral("Liberation Sans"), emHeight / 20.0, false, false};
    const auto &m = m_fonts.entry(fontSpec);
    beforeDrawing();
    m_backend->drawRotatedText(m_x, m_y, emHeight, m.ascent, m.font, m_foreColor, text);
}

void Printer::NewPage()
{
    beforeDrawing();
    ++m_pendingPageBreaks;
    m_landscapeWish = false;
    m_x = 0;
    m_y = 0;
}

QString Printer::finishJob()
{
    m_landscapeWish = false;
    // Only the breaks between pages count; a break right before the end adds nothing.
    try {
        while (m_pendingPageBreaks > 1) {
            m_backend->setPageShape(false);
            m_backend->newPage();
            --m_pendingPageBreaks;
        }
        m_pendingPageBreaks = 0;
        m_jobOpen = false;
        return m_backend->endJob();
    } catch (...) {
        m_jobOpen = false;
        m_pendingPageBreaks = 0;
        m_backend->cancelJob();
        throw;
    }
}

QString Printer::EndDoc()
{
    m_x = 0;
    m_y = 0;
    if (!m_jobOpen)
        return {};
    return finishJob();
}

void Printer::KillDoc()
{
    m_x = 0;
    m_y = 0;
    m_landscapeWish = false;
    if (!m_jobOpen)
        return;
    m_jobOpen = false;
    m_pendingPageBreaks = 0;
    m_backend->cancelJob();
}

} // namespace tarvel::platform
