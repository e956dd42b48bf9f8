#include "platform/PrinterChoice.h"

#include "platform/PdfBackend.h"
#include "platform/SystemPrinterBackend.h"

#include <QPrinterInfo>

namespace tarvel::platform {

PrinterChoice &PrinterChoice::instance()
{
    static PrinterChoice choice;
    return choice;
}

QString PrinterChoice::current()
{
    if (!m_resolved) {
        m_resolved = true;
        const QString system = QPrinterInfo::defaultPrinterName();
        m_current = system.isEmpty() ? QString::fromLatin1(PdfBackend::DeviceName) : system;
    }
    return m_current;
}

void PrinterChoice::setCurrent(const QString &name)
{
    m_resolved = true;
    if (name == m_current)
        return;
    m_current = name;
    ++m_generation;
}

void PrinterChoice::setPdfOrientation(QPageLayout::Orientation orientation)
{
    if (orientation == m_pdfOrientation)
        return;
    m_pdfOrientation = orientation;
    ++m_generation;
}

std::unique_ptr<PrinterBackend> PrinterChoice::createBackend()
{
    const QString name = current();
    if (name == QLatin1String(PdfBackend::DeviceName) && m_pdfOrientation == QPageLayout::Landscape)
        return std::make_unique<PdfBackend>(
            300, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)), QString());
    return createBackend(name);
}

std::unique_ptr<PrinterBackend> PrinterChoice::createBackend(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(PdfBackend::DeviceName))
        return std::make_unique<PdfBackend>();
    return std::make_unique<SystemPrinterBackend>(name);
}

} // namespace tarvel::platform
