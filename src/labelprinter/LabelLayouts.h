#pragma once

#include "labelprinter/LabelData.h"

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::labelprinter {

class BarWidthBoxes;

/// The label-printer layouts: one label on the current page at fixed places in
/// twips. They read the record, run the bar-width step on the boxes given, and
/// draw with the Code128 given. They never start or end a page or the job, and
/// trap no error: the setup dialog decides which errors it reports itself.
class LabelLayouts
{
public:
    LabelLayouts(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes, const LabelData &data);

    /// The book label: prices, barcode with its number, ISBN and goods group,
    /// title, author, publisher and remark.
    void Etikett();
    /// The small article label: prices, barcode with its number, match code,
    /// goods group and ISBN.
    void EinLabel();
    /// The canoe label: match code and remark from y = 3100, the prices in
    /// Courier New from y = 5400, then the barcode with its number.
    void KanuEtikett();

    static constexpr qint16 BarHeight = 680;
    static constexpr qint32 BarsX = 100;

private:
    /// The upper half both article labels share: the bar-width step, the prices
    /// in 16-point bold, an empty line, the bars and the number under them,
    /// then an empty 10-point line.
    void pricesAndBarcode();
    /// Draws the barcode of ArtikelNr at (100, CurrentY rounded), in code set C for
    /// runs of digits where set B would pass the printable edge, and the number
    /// 710 below the bars' top; leaves the font at 10 point regular.
    void articleBarcode();

    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    BarWidthBoxes &m_boxes;
    const LabelData &m_data;
};

} // namespace tarvel::labelprinter
