#include "platform/SystemPrinterBackend.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace tarvel::platform {

namespace {
QString spoolFolder()
{
    return PdfBackend::jobsFolder() + QStringLiteral("/.spool");
}
} // namespace

SystemPrinterBackend::SystemPrinterBackend(const QString &printerName) : m_name(printerName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(printerName);
    m_dpi = printer.resolution() > 0 ? printer.resolution() : 300;
    m_layout = printer.pageLayout();
}

SystemPrinterBackend::~SystemPrinterBackend() = default;

bool SystemPrinterBackend::exists(const QString &printerName)
{
    return QPrinterInfo::availablePrinterNames().contains(printerName);
}

void SystemPrinterBackend::beginJob()
{
    // Checked here because QPrinter silently turns an unknown name into a PDF file.
    if (!exists(m_name))
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(Drucker \"%1\" nicht gefunden)").arg(m_name));
    m_spool = std::make_unique<PdfBackend>(m_dpi, m_layout, spoolFolder());
    m_spool->beginJob();
}

QString SystemPrinterBackend::endJob()
{
    const QString spooled = m_spool->endJob();
    m_spool.reset();
    const QByteArray printer = m_name.toUtf8();
    const QByteArray file = QFile::encodeName(spooled);
    const QByteArray title = QFileInfo(spooled).completeBaseName().toUtf8();
    cups_option_t *options = nullptr;
    int count = 0;
    count = cupsAddOption("print-scaling", "none", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.constData(), file.constData(), title.constData(),
                                   count, options);
    cupsFreeOptions(count, options);
    if (job > 0) {
        QFile::remove(spooled);
        return QStringLiteral("%1 (Auftrag %2)").arg(m_name).arg(job);
    }
    // Keep the job where the user finds it.
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    const QString kept = QDir(PdfBackend::jobsFolder()).filePath(QFileInfo(spooled).fileName());
    if (!QFile::rename(spooled, kept))
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(Drucker \"%1\" nimmt den Auftrag nicht an: %2; der Auftrag liegt als %3)")
                               .arg(m_name, reason, spooled));
    throw RuntimeError(RuntimeError::PrinterError,
                       QStringLiteral("(Drucker \"%1\" nimmt den Auftrag nicht an: %2; der Auftrag liegt als %3)")
                           .arg(m_name, reason, kept));
}

void SystemPrinterBackend::cancelJob()
{
    if (m_spool) {
        m_spool->cancelJob();
        m_spool.reset();
    }
}

} // namespace tarvel::platform
