#pragma once

#include "sheets/Artikel.h"
#include "sheets/DateiLayout.h"
#include "sheets/ListPage.h"

#include <QDate>
#include <QString>
#include <limits>

namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// The main window's barcode list in the page frame of ListPage: a header a
/// page, then twelve rows. A row holds the bars of BestellNr with the number
/// under them on the right; on the left, in 8 point, the match code and (from
/// 3500) Bereich with ArtikelNr, the storage bin, the short texts, and the two
/// captioned prices on one line. A text ends at its column's edge: at 3500
/// where the second column has something on its line, else short of the bars'
/// quiet zone.
class DateiListe : public DateiLayout
{
public:
    /// A list whose pages are headed with \a datum, ending after page \a bis.
    DateiListe(platform::Printer &printer, barcode::Code128 &code, const QDate &datum,
               int bis = std::numeric_limits<int>::max());

    /// Prints the header of page \a seite; the rows follow below it.
    void beginnen(int seite);

    SatzPlatz platz() override;
    /// Prints the row of \a artikel.
    void Drucke(const Artikel &artikel, const ArtikelWahl &wahl) override { Zeile(m_y, artikel, wahl); }
    /// After a page's last row the next page and its header follow, unless
    /// that was the last page.
    void naechsterPlatz() override;
    bool weiter() const override { return !m_ende; }

    /// Prints the row of \a artikel with its top at \a y.
    void Zeile(qint32 y, const Artikel &artikel, const ArtikelWahl &wahl);

    static constexpr int ZeilenJeSeite = ListPage::RowsPerPage;

private:
    /// "EK-Preis", "Preis" or "Liste", ": ", then the price and the currency in
    /// bold; nothing for Preis::Leer, also where the record's price is empty.
    void PreisZeile(Preis preis, const Artikel &artikel, const QString &waehrung);
    static QString PreisTitel(Preis preis);
    void Kopf();

    barcode::Code128 &m_code;
    QDate m_datum;
    int m_bis;
    int m_seite = 1; ///< the page the next header is for
    qint32 m_y = ListPage::FirstRow;
    bool m_ende = false;
};

} // namespace tarvel::sheets
