#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// The article label of the automation object's laser sheets, LaserLabels
/// (3 × 8) and LaserLabels4Bahn (4 × 12): the bars of ArtikelNr at the label's
/// corner; below them ArtikelNr and the ISBN on one line, the match code, and
/// both prices on one line. The two sheets differ only in the measures of Style.
/// Everything is clipped to the label's place, and the barcode takes code set C
/// for runs of digits where set B would reach the next label or the page's edge.
namespace LaserLabel {

struct Style
{
    qint16 barHeight;      ///< twips
    qint32 numberDown;     ///< top of the ArtikelNr line, below the label's top
    double numberSize;     ///< Arial points of ArtikelNr; the ISBN after it is 8 point regular
    bool numberBold;
    qsizetype blanks;      ///< blanks between ArtikelNr and the ISBN
    double matchCodeWidth; ///< the match code is printed cut to this width; 0 prints it whole
    double priceSize;
    bool priceBold;
    qint32 priceGap;       ///< extra space above the price line
    qint32 secondPrice;    ///< left edge of the second price, from the label's left
    qint32 width;          ///< the label's place: the pitch across and down
    qint32 height;
};

/// Draws one label with its top-left corner at (\a x0, \a y0) in black upright
/// Arial. Neither starts nor ends a page. Its texts end inside the label, short
/// of the quiet zone of the bars of a label on its right (\a nachbarRechts) and
/// of the page's edge.
void print(platform::Printer &printer, barcode::Code128 &code, const Style &style, qint32 x0, qint32 y0,
           const QString &ArtikelNr, const QString &ISBN, const QString &MatchCode, const QString &Preis1,
           const QString &Preis2, bool nachbarRechts);

} // namespace LaserLabel
} // namespace tarvel::sheets
