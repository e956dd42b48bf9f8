#include "platform/PrinterStyleGuard.h"

#include "platform/Printer.h"

namespace tarvel::platform {

PrinterStyleGuard::PrinterStyleGuard(Printer &printer)
    : m_printer(printer), m_font(printer.font()), m_foreColor(printer.ForeColor()), m_drawWidth(printer.DrawWidth())
{
}

PrinterStyleGuard::~PrinterStyleGuard()
{
    // The values were the printer's own, so none of the setters refuses them.
    m_printer.setFontName(m_font.name);
    m_printer.setFontSize(m_font.size);
    m_printer.setFontBold(m_font.bold);
    m_printer.setFontItalic(m_font.italic);
    m_printer.setForeColor(m_foreColor);
    m_printer.setDrawWidth(m_drawWidth);
}

} // namespace tarvel::platform
