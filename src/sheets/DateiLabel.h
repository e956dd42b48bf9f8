#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

struct Artikel;
struct ArtikelWahl;

/// The main window's label of an article-file record. On the left the bars of
/// BestellNr, 680 high, with the number in 12-point bold 700 below the top and
/// the two short texts under it; from 3600 to the right, in 8 point, Bereich
/// with ArtikelNr, the match code, the storage bin and the first price in
/// 12-point bold. The label run prints it alone on a page, DateiLaserLabels
/// sixteen to a sheet, and the test label once. Never starts or ends a page.
class DateiLabel
{
public:
    DateiLabel(platform::Printer &printer, barcode::Code128 &code);

    /// Draws the label of \a artikel with its top-left corner at (\a x, \a y).
    void Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl);

    /// The field being drawn, for the message when drawing fails ("Feld BestellNr").
    const QString &feld() const { return m_feld; }

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    QString m_feld;
};

} // namespace tarvel::sheets
