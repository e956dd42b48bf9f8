#pragma once

#include "sheets/Artikel.h"

#include <QString>
#include <QStringList>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

struct ArtikelWahl;

/// A row of the main window's barcode list, in the page frame of ListPage: the
/// bars of BestellNr with the number under them on the right; on the left, in
/// 8 point, the match code and (from 3500) Bereich with ArtikelNr, the storage
/// bin, the short texts, and the two captioned prices on one line. The list
/// run places the rows and pages. A text ends at its column's edge: at 3500
/// where the second column has something on its line, else at the bars.
class DateiListe
{
public:
    DateiListe(platform::Printer &printer, barcode::Code128 &code);

    /// Prints the row of \a artikel with its top at \a y.
    void Drucke(qint32 y, const Artikel &artikel, const ArtikelWahl &wahl);

    /// The field being drawn, for the message when drawing fails ("Feld BestellNr").
    const QString &feld() const { return m_feld; }

    /// The fields whose text would be cut at its column's edge; changes the printer's font.
    static QStringList abgeschnitten(platform::Printer &printer, const Artikel &artikel, const ArtikelWahl &wahl);

private:
    /// "EK-Preis", "Preis" or "Liste", ": ", then the price and the currency in
    /// bold; nothing for Preis::Leer, also where the record's price is empty.
    void PreisZeile(Preis preis, const Artikel &artikel, const QString &waehrung);
    static QString PreisTitel(Preis preis);

    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    QString m_feld;
};

} // namespace tarvel::sheets
