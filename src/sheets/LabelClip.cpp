#include "sheets/LabelClip.h"

#include "platform/Printer.h"

namespace tarvel::sheets {

LabelClip::LabelClip(platform::Printer &printer, qint32 x, qint32 y, qint32 width, qint32 height)
    : m_printer(printer)
{
    to(x, y, width, height);
}

LabelClip::~LabelClip()
{
    m_printer.clearClip();
}

void LabelClip::to(qint32 x, qint32 y, qint32 width, qint32 height)
{
    m_printer.setClip(x, y, width, height);
}

} // namespace tarvel::sheets
