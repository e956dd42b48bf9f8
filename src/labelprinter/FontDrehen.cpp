#include "labelprinter/FontDrehen.h"

#include "platform/Printer.h"

namespace tarvel::labelprinter::FontDrehen {

void GedrehtDrucken(platform::Printer &printer, const QString &Text)
{
    // 24 twips a point: the turned name is 1.2 times the nominal size.
    printer.PrintRotated(Text, printer.FontSize() * 24.0);
}

} // namespace tarvel::labelprinter::FontDrehen
