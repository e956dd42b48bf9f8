#include "platform/PdfBackend.h"

#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

namespace tarvel::platform {

namespace {
QString &jobsFolderOverride()
{
    static QString folder;
    return folder;
}
int g_jobCounter = 0;

// Why nothing can be written into \a folder, in the user's words where the
// cause can be seen; otherwise the system's \a text.
QString writeReason(const QString &folder, const QString &text)
{
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("das Dateisystem ist schreibgeschützt");
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return QStringLiteral("der Datenträger ist voll");
    if (QFileInfo(folder).isDir() && !QFileInfo(folder).isWritable())
        return QStringLiteral("keine Berechtigung zum Schreiben");
    return text;
}
} // namespace

PdfBackend::PdfBackend(int dpi)
    : m_dpi(dpi), m_layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0))
{
}

PdfBackend::PdfBackend(int dpi, const QPageLayout &layout, const QString &folder)
    : m_dpi(dpi), m_layout(layout), m_folder(folder)
{
}

PdfBackend::~PdfBackend()
{
    if (m_writer)
        cancelJob();
}

QString PdfBackend::jobsFolder()
{
    if (!jobsFolderOverride().isEmpty())
        return jobsFolderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Tarvel");
}

void PdfBackend::setJobsFolder(const QString &folder)
{
    jobsFolderOverride() = folder;
}

QString PdfBackend::nextFileName() const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(m_folder.isEmpty() ? jobsFolder() : m_folder);
    QString name;
    do {
        name = dir.filePath(QStringLiteral("Tarvel-%1-%2.pdf").arg(stamp).arg(++g_jobCounter));
    } while (QFileInfo::exists(name));
    return name;
}

void PdfBackend::beginJob()
{
    const QString folder = m_folder.isEmpty() ? jobsFolder() : m_folder;
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder))
            throw RuntimeError(RuntimeError::PrinterError,
                               QStringLiteral("(Ordner %1 kann nicht angelegt werden)").arg(folder));
        // Pickup slips carry customers' names, addresses and telephone numbers:
        // a jobs folder made here is its user's alone.
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString fileName = nextFileName();
    m_file = std::make_unique<QSaveFile>(fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        const QString reason = writeReason(folder, m_file->errorString());
        m_file.reset();
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(%1 kann nicht geschrieben werden: %2)").arg(fileName, reason));
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(m_dpi);
    // The painter's origin is the top-left corner of the layout's printable area.
    m_writer->setPageLayout(m_layout);
    m_writer->setCreator(QStringLiteral("Tarvel"));
    m_writer->setTitle(QFileInfo(fileName).completeBaseName());
    if (!beginPainting(m_writer.get())) {
        m_writer.reset();
        m_file->cancelWriting();
        m_file.reset();
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(%1 kann nicht geschrieben werden)").arg(fileName));
    }
}

QString PdfBackend::endJob()
{
    endPainting();
    m_writer.reset();
    const QString fileName = m_file->fileName();
    const bool ok = m_file->commit();
    const QString reason = ok ? QString() : writeReason(QFileInfo(fileName).path(), m_file->errorString());
    m_file.reset();
    if (!ok)
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(%1 kann nicht geschrieben werden: %2)").arg(fileName, reason));
    return fileName;
}

void PdfBackend::cancelJob()
{
    endPainting();
    m_writer.reset();
    if (m_file) {
        m_file->cancelWriting();
        m_file->commit(); // removes the temporary file
        m_file.reset();
    }
}

} // namespace tarvel::platform
