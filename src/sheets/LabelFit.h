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

/// Whether a record fits the place the article-file layouts give it: its
/// barcode in the room before the next thing on its right, and its texts
/// within their label or column. Plain facts for a check before printing;
/// the layouts draw with the same rooms and columns.
namespace LabelFit {

/// The article-file layouts, in the order of the main window's kinds of run.
enum class Layout { Liste = 0, Label = 1, Laser = 2 };

struct BarcodeFit
{
    enum Ergebnis {
        SetB,    ///< code set B fits: drawn as always
        SetC,    ///< fits only as the shortest symbol, with code set C for runs of digits
        ZuBreit, ///< too wide even so: drawn as the shortest symbol and cut at the place's edge
    };
    Ergebnis ergebnis = SetB;
    int module = 0;                   ///< modules of the symbol drawn, without the quiet zone
    qint32 platzTwips = 0;            ///< room from the first bar on, quiet zone included
    qint16 passendeStrichbreite = 0;  ///< widest bar width in pixels (at most the current) that fits; 0: none
};

/// How the barcode of \a text fits \a platzTwips at the bar width set on \a code
/// with InitBreite. A text Code 128 cannot carry throws the RuntimeError Drucke
/// would (6 or 9, naming the character and its position).
BarcodeFit fitBarcode(const barcode::Code128 &code, const QString &text, qint32 platzTwips);

/// The room of BestellNr's barcode in \a layout on \a printer's page.
qint32 barcodePlatz(Layout layout, platform::Printer &printer);

/// fitBarcode for BestellNr of \a artikel in \a layout.
BarcodeFit fitBestellNr(Layout layout, platform::Printer &printer, const barcode::Code128 &code,
                        const Artikel &artikel);

/// The fields of \a artikel (by their names, "KurzText1") whose printed text
/// would be cut at the edge of its label or column in \a layout. Leaves the
/// printer's font as it was.
QStringList abgeschnitteneFelder(Layout layout, platform::Printer &printer, const Artikel &artikel,
                                 const ArtikelWahl &wahl);

} // namespace LabelFit
} // namespace tarvel::sheets
