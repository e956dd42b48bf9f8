#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::labelprinter {

class BarWidthBoxes;

/// The bar-width step that opens every label layout, and the setting of the
/// width that the dialogs run when the user edits it.
namespace BarWidthStep {

/// Hands \a width to InitBreite and shows the width in effect in `Strichbreite`
/// and the characters that fit, rounded to two decimals, in `MaxZeichen`.
void InitStrichbreite(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes, qint16 width);

/// The width the `Strichbreite` text asks for: its leading number, rounded
/// halves to even. A negative width is error 5 and one beyond 16 bits error 6,
/// each saying which widths are allowed.
qint16 widthFromText(const QString &text);

/// The layouts' step: reads `Strichbreite` and runs InitStrichbreite with it.
void run(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes);

/// The step the setup dialog and the main window run when the user leaves
/// `Strichbreite`. A width that cannot be set is refused: the width in effect
/// stays and shows in the box again, and the result is the message to show.
/// Empty when the width was set.
QString edited(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes);

} // namespace BarWidthStep
} // namespace tarvel::labelprinter
