#pragma once

#include "sheets/DateiLayout.h"

#include <QString>

namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// The main window's label of an article-file record, 6000 × 1930 twips. On
/// the left the bars of BestellNr, 680 high, with the number in 12-point bold
/// 700 below the top; from 3600 to the right, in 8 point, Bereich with
/// ArtikelNr, the match code, the storage bin and the first price in 12-point
/// bold; below both the two short texts in 12 point across the whole label.
/// As a layout of its own it is the label printer's: one label a page, at the
/// page's corner. DateiLaserLabels prints it sixteen to a sheet, the test
/// label once. Each part ends inside the label: the bars with their quiet zone
/// before the text column, the number under them at the text column, the
/// texts at the label's right edge, short of a next label's quiet zone and of
/// the page's edge. The barcode takes code set C for runs of digits where set
/// B is too wide.
class DateiLabel : public DateiLayout
{
public:
    DateiLabel(platform::Printer &printer, barcode::Code128 &code);

    /// Draws the label of \a artikel with its top-left corner at (\a x, \a y);
    /// \a nachbarRechts: another label's bars follow at its right edge.
    void Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl, bool nachbarRechts = false);

    /// The label printer: the label at the corner of a page of its own.
    SatzPlatz platz() override { return platz(0, 0); }
    void Drucke(const Artikel &artikel, const ArtikelWahl &wahl) override { Drucke(0, 0, artikel, wahl); }
    void naechsterPlatz() override;

    /// The place of a label with its corner at (\a x, \a y).
    static SatzPlatz platz(qint32 x, qint32 y);

    static constexpr qint32 TextSpalte = 3600; ///< left edge of the text column, from the label's
    static constexpr qint32 Breite = 6000;
    static constexpr qint32 Hoehe = 1930;

private:
    /// Whether the bars of \a text and their quiet zone fit \a platz; bars that do not get a clip of their own.
    bool barcodePasst(const QString &text, qint32 platz) const;

    barcode::Code128 &m_code;
};

} // namespace tarvel::sheets
