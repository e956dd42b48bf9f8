#include "runs/VorschauBild.h"

#include "platform/RuntimeError.h"

namespace tarvel::runs {

VorschauBild::VorschauBild(QImage &bild) : m_bild(bild) {}

VorschauBild::~VorschauBild()
{
    endPainting();
}

double VorschauBild::dpiX() const
{
    return m_bild.logicalDpiX();
}

double VorschauBild::dpiY() const
{
    return m_bild.logicalDpiY();
}

void VorschauBild::beginJob()
{
    m_bild.fill(Qt::white);
    if (!beginPainting(&m_bild))
        throw platform::RuntimeError(platform::RuntimeError::PrinterError,
                                     QStringLiteral("die Vorschau kann nicht gezeichnet werden"));
}

QString VorschauBild::endJob()
{
    endPainting();
    return deviceName();
}

void VorschauBild::cancelJob()
{
    endPainting();
}

} // namespace tarvel::runs
