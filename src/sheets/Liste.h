#pragma once

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// The barcode list of the automation object on plain paper: the header of
/// ListPage, then twelve rows a page, each with ISBN, match code and prices on
/// the left and the article's barcode with its number on the right. Page
/// number and row position carry over from call to call for the life of the
/// object.
class Liste
{
public:
    Liste(platform::Printer &printer, barcode::Code128 &code);

    /// Prints the page header on the current page and sets the first row below it.
    void Kopf();
    /// Prints one row; after the twelfth row of a page starts the next page
    /// and prints its header.
    void Drucke(const QString &ArtikelNr, const QString &ISBN, const QString &MatchCode, const QString &Preis1,
                const QString &Preis2);

    qint16 pageNumber() const { return m_page; }

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    qint16 m_page = 0;
    qint32 m_row = 0;
};

} // namespace tarvel::sheets
