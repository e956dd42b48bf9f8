#include "runs/VorschauBackend.h"

#include "platform/RuntimeError.h"

#include <QPrinter>

namespace tarvel::runs {

VorschauBackend::VorschauBackend(QPrinter &ziel, QString name) : m_ziel(ziel), m_name(std::move(name)) {}

VorschauBackend::~VorschauBackend()
{
    endPainting();
}

double VorschauBackend::dpiX() const
{
    return m_ziel.logicalDpiX();
}

double VorschauBackend::dpiY() const
{
    return m_ziel.logicalDpiY();
}

QSizeF VorschauBackend::printableSize() const
{
    return m_ziel.pageLayout().paintRect(QPageLayout::Inch).size() * 1440.0;
}

void VorschauBackend::beginJob()
{
    if (!beginPainting(&m_ziel))
        throw platform::RuntimeError(platform::RuntimeError::PrinterError,
                                     QStringLiteral("die Vorschau kann nicht gezeichnet werden"));
}

QString VorschauBackend::endJob()
{
    endPainting();
    return m_name;
}

void VorschauBackend::cancelJob()
{
    endPainting();
}

} // namespace tarvel::runs
