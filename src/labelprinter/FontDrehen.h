#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::labelprinter {

/// Text turned by 90 degrees, for the name in the pickup slip's margin.
namespace FontDrehen {

/// Prints \a Text turned 90 degrees counter-clockwise (reading upwards), its
/// top-left corner before turning at the current position, characters
/// FontSize × 24 twips high, in the default sans face at normal weight. Only
/// the printer's FontSize reaches the turned text; the position stays.
void GedrehtDrucken(platform::Printer &printer, const QString &Text);

} // namespace FontDrehen
} // namespace tarvel::labelprinter
