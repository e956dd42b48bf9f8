#include "platform/PdfBackend.h"

#include "platform/JobFile.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <cmath>

namespace tarvel::platform {

PdfBackend::PdfBackend(const QString &folder, const PageSetup &setup, std::function<QString()> namedFile)
    : m_folder(folder), m_setup(setup), m_namedFile(std::move(namedFile))
{
}

PdfBackend::PdfBackend(int dpi)
{
    m_setup.dpiX = m_setup.dpiY = dpi;
}

QSizeF PdfBackend::printableSize() const
{
    return m_setup.layout.paintRect(QPageLayout::Point).size() * 20.0;
}

PdfBackend::~PdfBackend()
{
    if (m_writer)
        cancelJob();
}

QString PdfBackend::jobsFolder()
{
    return PrinterChoice::instance().jobsFolder();
}

void PdfBackend::setJobsFolder(const QString &folder)
{
    PrinterChoice::instance().setJobsFolder(folder);
}

QPageLayout PdfBackend::layoutFor(bool landscape) const
{
    QPageLayout layout = m_setup.layout;
    const QSizeF size = layout.fullRectPoints().size();
    if (landscape && size.width() < size.height()) {
        layout.setOrientation(layout.orientation() == QPageLayout::Portrait ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait);
        if (m_setup.rasterised) {
            // Turned a quarter clockwise onto the media (setWriterLayout): its top edge is the page's left.
            const QMarginsF m = m_setup.layout.margins();
            layout.setMargins(QMarginsF(m.top(), m.right(), m.bottom(), m.left()));
        }
    }
    return layout;
}

void PdfBackend::setWriterLayout(bool landscape)
{
    const QPageLayout layout = layoutFor(landscape);
    if (!m_setup.rasterised) {
        m_writer->setPageLayout(layout);
        return;
    }
    // The writer would round the margins to whole points, a dot or two off the
    // printable area CUPS gives: the page is drawn whole, from the exact origin.
    // A label across the media is turned onto the media's own page here, so
    // that no filter on the way chooses another size or place for it.
    QPageLayout whole = m_setup.layout;
    whole.setMode(QPageLayout::FullPageMode);
    m_writer->setPageLayout(whole);
    const bool turned = layout.orientation() != m_setup.layout.orientation();
    setTurn(turned ? std::round(whole.fullRect(QPageLayout::Inch).width() * m_setup.dpiX) : 0.0);
    const QMarginsF mm = layout.margins(QPageLayout::Millimeter);
    setOrigin(QPointF(std::round(mm.left() / 25.4 * m_setup.dpiX), std::round(mm.top() / 25.4 * m_setup.dpiY)));
}

void PdfBackend::beginJob()
{
    m_dropped.clear();
    m_fixedPath = m_namedFile ? m_namedFile() : QString();
    const QString folder = !m_fixedPath.isEmpty() ? QFileInfo(m_fixedPath).absolutePath()
                           : m_folder.isEmpty()    ? jobsFolder()
                                                   : m_folder;
    if (folder.isEmpty())
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("kein Benutzerordner: HOME ist nicht gesetzt, und ohne ihn hat der "
                                          "Drucker keinen Ordner für seine Aufträge"));
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder))
            throw RuntimeError(RuntimeError::PrinterError,
                               QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(folder));
        // Pickup slips carry customers' names, addresses and telephone numbers:
        // a jobs folder made here is its user's alone.
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    m_file = std::make_unique<JobFile>();
    if (!m_file->create(folder)) {
        const QString reason = m_file->errorText();
        m_file.reset();
        throw RuntimeError(RuntimeError::PrinterError, reason);
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(m_setup.dpiX);
    // The painter's origin is the top-left corner of the layout's printable area.
    m_pageLandscape = m_landscape;
    setWriterLayout(m_pageLandscape);
    m_writer->setCreator(QStringLiteral("Tarvel"));
    m_writer->setTitle(QStringLiteral("Tarvel %1").arg(QDateTime::currentDateTime().toString(
        QStringLiteral("dd.MM.yyyy HH:mm:ss"))));
    setBarInset(m_setup.rasterised ? 0.25 : 0.0);
    if (!beginPainting(m_writer.get())) {
        m_writer.reset();
        m_file.reset();
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("in %1 kann kein PDF angelegt werden").arg(folder));
    }
}

void PdfBackend::failWriting()
{
    const QString reason = m_file->errorText();
    cancelJob();
    m_dropped = reason;
    throw RuntimeError(RuntimeError::PrinterError, reason);
}

void PdfBackend::requireJob() const
{
    if (m_writer)
        return;
    throw RuntimeError(RuntimeError::PrinterError,
                       m_dropped.isEmpty()
                           ? QStringLiteral("%1: kein Druckauftrag offen").arg(deviceName())
                           : QStringLiteral("der Druckauftrag wurde verworfen: %1").arg(m_dropped));
}

void PdfBackend::setClip(const QRectF &twips)
{
    requireJob();
    PainterBackend::setClip(twips);
}

void PdfBackend::drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face,
                          const QColor &color, const QString &text)
{
    requireJob();
    PainterBackend::drawText(x, y, fontSpec, face, color, text);
}

void PdfBackend::drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color)
{
    requireJob();
    PainterBackend::drawLine(x1, y1, x2, y2, penWidth, color);
}

void PdfBackend::drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                                 const QColor &color, const QString &text)
{
    requireJob();
    PainterBackend::drawRotatedText(x, y, emHeight, ascent, font, color, text);
}

void PdfBackend::newPage()
{
    requireJob();
    if (m_file && m_file->failed())
        failWriting(); // a full disk stops the job at once, not after the last page
    if (m_landscape != m_pageLandscape) {
        flushBars();
        m_pageLandscape = m_landscape;
        setWriterLayout(m_pageLandscape);
    }
    PainterBackend::newPage();
}

std::unique_ptr<JobFile> PdfBackend::finishFile()
{
    requireJob();
    endPainting();
    m_writer.reset();
    if (!m_file->finish())
        failWriting();
    return std::move(m_file);
}

QString PdfBackend::endJob()
{
    const auto file = finishFile();
    const QString path = file->publish(m_fixedPath);
    if (path.isEmpty())
        throw RuntimeError(RuntimeError::PrinterError, file->errorText());
    return path;
}

void PdfBackend::cancelJob()
{
    m_dropped.clear();
    endPainting();
    m_writer.reset();
    m_file.reset(); // removes the unfinished file
}

} // namespace tarvel::platform
