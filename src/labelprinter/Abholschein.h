#pragma once

#include "labelprinter/LabelData.h"

#include <QStringList>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::labelprinter {

class BarWidthBoxes;

/// The pickup slip of a customer's order: address block, prices, the barcode
/// of `VorgangsNr`, match code, ISBN, free lines and closing text on the left,
/// the order data on the right, the name turned in the left margin. Slips go
/// into the quarters of a page (8400 × 5800 twips each), column by column, at
/// the record's StartPosition, which every slip advances; the page ends after
/// the last slip of a page.
class Abholschein
{
public:
    Abholschein(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes, LabelData &data);

    /// Prints one slip. \a Zeile must hold lines 0 to 4 (error 9 otherwise,
    /// before anything is drawn); empty ones take no line. \a SeitenProBlatt
    /// is 1 (one slip a page, label printer) or 4 (quarters of a sheet). A
    /// negative StartPosition is error 5; 0 acts as 1.
    void Drucke(const QStringList &Zeile, const QString &zuHaenden, const QString &Anrede, qint16 SeitenProBlatt);

    static constexpr qint32 PlaceWidth = 8400;
    static constexpr qint32 PlaceHeight = 5800;
    static constexpr qint32 TextIndent = 800;  ///< text edge from the place's left
    static constexpr qint32 NameIndent = 100;  ///< turned name from the place's left
    static constexpr qint16 BarHeight = 680;
    static constexpr qint32 RightColumn = 4500; ///< the order data, from the text edge

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    BarWidthBoxes &m_boxes;
    LabelData &m_data;
};

} // namespace tarvel::labelprinter
