#include "platform/PdfBackend.h"

#include "platform/JobFile.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>

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
    if (landscape && size.width() < size.height())
        layout.setOrientation(layout.orientation() == QPageLayout::Portrait ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait);
    return layout;
}

void PdfBackend::beginJob()
{
    m_fixedPath = m_namedFile ? m_namedFile() : QString();
    const QString folder = !m_fixedPath.isEmpty() ? QFileInfo(m_fixedPath).absolutePath()
                           : m_folder.isEmpty()    ? jobsFolder()
                                                   : m_folder;
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
    m_writer->setPageLayout(layoutFor(m_pageLandscape));
    m_writer->setCreator(QStringLiteral("Tarvel"));
    m_writer->setTitle(QStringLiteral("Tarvel %1").arg(QDateTime::currentDateTime().toString(
        QStringLiteral("dd.MM.yyyy HH:mm:ss"))));
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
    throw RuntimeError(RuntimeError::PrinterError, reason);
}

void PdfBackend::newPage()
{
    if (m_file && m_file->failed())
        failWriting(); // a full disk stops the job at once, not after the last page
    if (m_landscape != m_pageLandscape) {
        flushBars();
        m_pageLandscape = m_landscape;
        m_writer->setPageLayout(layoutFor(m_pageLandscape));
    }
    PainterBackend::newPage();
}

std::unique_ptr<JobFile> PdfBackend::finishFile()
{
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
    endPainting();
    m_writer.reset();
    m_file.reset(); // removes the unfinished file
}

} // namespace tarvel::platform
