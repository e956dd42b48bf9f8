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

template<typename Op>
void Printer::send(Op &&op)
{
    if (m_mark)
        m_mark->held.emplace_back(std::forward<Op>(op));
    else
        op(*m_backend);
}

void Printer::beforeDrawing()
{
    backend();
    if (!m_jobOpen) {
        send([this, landscape = m_landscapeWish](PrinterBackend &b) {
            b.setPageShape(landscape);
            try {
                b.beginJob();
            } catch (...) {
                // Also when a mark held it back: the job did not open.
                m_jobOpen = false;
                m_pendingPageBreaks = 0;
                throw;
            }
        });
        m_jobOpen = true;
        m_pendingPageBreaks = 0;
        m_sentClip = QRectF();
        m_pageEmpty = true;
    }
    while (m_pendingPageBreaks > 0) {
        send([landscape = m_landscapeWish && m_pendingPageBreaks == 1](PrinterBackend &b) {
            b.setPageShape(landscape);
            b.newPage();
        });
        --m_pendingPageBreaks;
        m_sentClip = QRectF();
        m_pageEmpty = true;
    }
    if (m_clip != m_sentClip) {
        send([clip = m_clip](PrinterBackend &b) { b.setClip(clip); });
        m_sentClip = m_clip;
    }
    m_landscapeWish = false; // the page has begun
}

void Printer::wantLandscapePage()
{
    if (!hasOpenJob() || m_pendingPageBreaks > 0)
        m_landscapeWish = true;
}

void Printer::clearClip() noexcept
{
    m_clip = QRectF();
    if (m_sentClip.isNull() || !m_jobOpen || choiceChanged())
        return;
    try {
        m_backend->setClip(m_clip);
        m_sentClip = m_clip;
    } catch (...) {
        // Left to the next drawing, which sends it again.
    }
}

void Printer::setClip(double x, double y, double width, double height)
{
    m_clip = QRectF(x, y, std::max(width, 1.0), std::max(height, 1.0));
}

void Printer::sendHeld()
{
    if (!m_mark)
        return;
    const auto mark = std::move(m_mark);
    for (auto &op : mark->held)
        op(*m_backend);
}

bool Printer::mark()
{
    Q_ASSERT_X(!m_mark, "Printer::mark", "marks do not nest");
    if (m_mark)
        return false; // the outer mark stays in force
    m_mark = std::make_unique<Mark>();
    m_mark->jobOpen = m_jobOpen;
    m_mark->pendingPageBreaks = m_pendingPageBreaks;
    m_mark->pageEmpty = m_pageEmpty;
    m_mark->landscapeWish = m_landscapeWish;
    m_mark->x = m_x;
    m_mark->y = m_y;
    m_mark->clip = m_clip;
    m_mark->sentClip = m_sentClip;
    return true;
}

void Printer::commit()
{
    sendHeld();
}

void Printer::rollback() noexcept
{
    if (!m_mark)
        return;
    const auto mark = std::move(m_mark);
    m_jobOpen = mark->jobOpen;
    m_pendingPageBreaks = mark->pendingPageBreaks;
    m_pageEmpty = mark->pageEmpty;
    m_landscapeWish = mark->landscapeWish;
    m_x = mark->x;
    m_y = mark->y;
    m_clip = mark->clip;
    m_sentClip = mark->sentClip;
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
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("Schriftgröße %1").arg(points));
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

void Printer::plainText()
{
    setFontItalic(false);
    m_foreColor = Qt::black;
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
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("Farbe %1").arg(index));
    return QColor(palette[index]);
}

void Printer::setDrawWidth(int pixels)
{
    if (pixels < 1)
        throw RuntimeError(RuntimeError::InvalidArgument, QStringLiteral("Strichbreite %1").arg(pixels));
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

qsizetype Printer::fittingLength(const QString &text, double maxTwips)
{
    return metrics().glyphs->fittingLength(text, maxTwips);
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
    send([x = m_x, y = m_y, font = m_font, face = &m, color = m_foreColor, text](PrinterBackend &b) {
        b.drawText(x, y, font, *face, color, text);
    });
    m_pageEmpty = false;
    m_x += m.glyphs->width(text);
}

void Printer::Print(const QString &text)
{
    if (text.isEmpty()) {
        beforeDrawing(); // an empty line still belongs to the page
        m_pageEmpty = false;
    } else
        PrintInline(text);
    m_x = 0;
    m_y += metrics().lineSpacing;
}

void Printer::Line(double x1, double y1, double dx, double dy, const QColor &color)
{
    const double penTwips = m_drawWidth * TwipsPerPixelX();
    beforeDrawing();
    send([=](PrinterBackend &b) { b.drawLine(x1, y1, x1 + dx, y1 + dy, penTwips, color); });
    m_pageEmpty = false;
    m_x = x1 + dx;
    m_y = y1 + dy;
}

void Printer::PrintRotated(const QString &text, double emHeight)
{
    const FontSpec fontSpec{QStringLiteral("Liberation Sans"), emHeight / 20.0, false, false};
    const auto &m = m_fonts.entry(fontSpec);
    beforeDrawing();
    send([x = m_x, y = m_y, emHeight, ascent = m.ascent, font = m.font, color = m_foreColor, text](PrinterBackend &b) {
        b.drawRotatedText(x, y, emHeight, ascent, font, color, text);
    });
    m_pageEmpty = false;
}

void Printer::NewPage()
{
    // Only a page that holds something is ended: a layout that ends its page,
    // followed by a step that starts one, gives one break and no blank page.
    if (pageHasOutput()) {
        beforeDrawing();
        ++m_pendingPageBreaks;
    }
    m_x = 0;
    m_y = 0;
}

QString Printer::finishJob()
{
    m_landscapeWish = false;
    // Only the breaks between pages count; a break right before the end adds nothing.
    try {
        sendHeld();
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
    plainText();
    if (!m_jobOpen)
        return {};
    return finishJob();
}

void Printer::KillDoc()
{
    m_x = 0;
    m_y = 0;
    m_landscapeWish = false;
    plainText();
    // A job that a mark still holds back never reached the backend.
    const bool held = m_mark && !m_mark->jobOpen;
    m_mark.reset();
    if (!m_jobOpen || held) {
        m_jobOpen = false;
        m_pendingPageBreaks = 0;
        return;
    }
    m_jobOpen = false;
    m_pendingPageBreaks = 0;
    m_backend->cancelJob();
}

} // namespace tarvel::platform
