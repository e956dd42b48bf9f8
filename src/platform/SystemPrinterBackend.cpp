#include "platform/SystemPrinterBackend.h"

#include "platform/CupsQueue.h"
#include "platform/JobFile.h"
#include "platform/RuntimeError.h"

#include <QFileInfo>

namespace tarvel::platform {

SystemPrinterBackend::SystemPrinterBackend(const QString &printerName, const PageSetup &setup,
                                           const QString &jobsFolder)
    : m_name(printerName), m_setup(setup), m_spool(jobsFolder, setup)
{
}

SystemPrinterBackend::SystemPrinterBackend(const QString &printerName)
    : SystemPrinterBackend(printerName, CupsQueue::setup(printerName).value_or(PageSetup()), PdfBackend::jobsFolder())
{
}

SystemPrinterBackend::~SystemPrinterBackend() = default;

bool SystemPrinterBackend::exists(const QString &printerName)
{
    return CupsQueue::exists(printerName);
}

void SystemPrinterBackend::beginJob()
{
    if (!exists(m_name))
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("Drucker \"%1\" nicht gefunden").arg(m_name));
    m_spool.beginJob();
}

QString SystemPrinterBackend::endJob()
{
    const auto file = m_spool.finishFile();
    QString reason;
    const int job = CupsQueue::print(m_name, file->path(), QStringLiteral("Tarvel"), m_setup, &reason);
    if (job > 0)
        return QStringLiteral("%1 (Auftrag %2)").arg(m_name).arg(job);
    // Keep the job where the user finds it.
    const QString kept = file->publish();
    throw RuntimeError(RuntimeError::PrinterError,
                       QStringLiteral("Drucker \"%1\" nimmt den Auftrag nicht an: %2; %3")
                           .arg(m_name, reason,
                                kept.isEmpty() ? file->errorText() : QStringLiteral("der Auftrag liegt als %1").arg(kept)));
}

} // namespace tarvel::platform
