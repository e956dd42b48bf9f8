#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::sheets {

/// Shortening texts to the width of a label.
namespace TextCut {

/// \a text without as many of its last characters as it takes for its printed
/// width in the printer's current font to be at most \a maxTwips. A text that
/// fits, exactly fitting included, comes back whole; a character made of two
/// UTF-16 units is dropped as one.
QString toWidth(platform::Printer &printer, QString text, double maxTwips);

} // namespace TextCut
} // namespace tarvel::sheets
