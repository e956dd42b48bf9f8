#include "platform/SystemPrinterBackend.h"

#include "platform/RuntimeError.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace tarvel::platform {

SystemPrinterBackend::SystemPrinterBackend(const QString &printerName)
    : m_name(printerName), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer->setPrinterName(printerName);
}

SystemPrinterBackend::~SystemPrinterBackend()
{
    if (isPainting())
        cancelJob();
}

bool SystemPrinterBackend::exists(const QString &printerName)
{
    return QPrinterInfo::availablePrinterNames().contains(printerName);
}

double SystemPrinterBackend::dpiX() const { return m_printer->logicalDpiX(); }
double SystemPrinterBackend::dpiY() const { return m_printer->logicalDpiY(); }

void SystemPrinterBackend::beginJob()
{
    // QPrinter silently writes a PDF for an unknown name, so ask the system first.
    if (!exists(m_name))
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(Drucker \"%1\" nicht gefunden)").arg(m_name));
    m_printer->setDocName(QStringLiteral("Tarvel"));
    if (!beginPainting(m_printer.get()))
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(Drucker \"%1\" nimmt keinen Auftrag an)").arg(m_name));
}

QString SystemPrinterBackend::endJob()
{
    endPainting();
    if (m_printer->printerState() == QPrinter::Error)
        throw RuntimeError(RuntimeError::PrinterError,
                           QStringLiteral("(Auftrag an Drucker \"%1\" nicht übergeben)").arg(m_name));
    return m_name;
}

void SystemPrinterBackend::cancelJob()
{
    m_printer->abort();
    endPainting();
}

} // namespace tarvel::platform
