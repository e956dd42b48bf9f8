#pragma once

#include "platform/FontSpec.h"

#include <QColor>

namespace tarvel::platform {

class Printer;

/// Keeps a printer's font, fore colour and pen width and gives them back when
/// it goes out of scope, also when drawing throws: a step that draws in a
/// style of its own leaves the layout's style as it found it. The position is
/// not kept.
class PrinterStyleGuard
{
public:
    explicit PrinterStyleGuard(Printer &printer);
    ~PrinterStyleGuard();
    PrinterStyleGuard(const PrinterStyleGuard &) = delete;
    PrinterStyleGuard &operator=(const PrinterStyleGuard &) = delete;

private:
    Printer &m_printer;
    FontSpec m_font;
    QColor m_foreColor;
    int m_drawWidth;
};

} // namespace tarvel::platform
