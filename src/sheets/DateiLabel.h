#pragma once

#include <QString>
#include <QStringList>

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
/// Each column is clipped at its edge: the barcode and the left texts end where
/// the text column begins, the text column at the label's right edge. The
/// barcode takes code set C for runs of digits where set B is too wide.
class DateiLabel
{
public:
    DateiLabel(platform::Printer &printer, barcode::Code128 &code);

    /// Draws the label of \a artikel with its top-left corner at (\a x, \a y).
    void Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl);

    /// The field being drawn, for the message when drawing fails ("Feld BestellNr").
    const QString &feld() const { return m_feld; }

    /// The room of the barcode of a label whose left edge is at \a x: up to the
    /// text column, or the printable edge where that comes first.
    static qint32 barcodePlatz(platform::Printer &printer, qint32 x);
    /// The fields whose text would be cut at its column's edge; changes the printer's font.
    static QStringList abgeschnitten(platform::Printer &printer, const Artikel &artikel, const ArtikelWahl &wahl);

    static constexpr qint32 TextSpalte = 3600; ///< left edge of the text column, from the label's
    static constexpr qint32 Breite = 6000;
    static constexpr qint32 Hoehe = 1930;

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    QString m_feld;
};

} // namespace tarvel::sheets
