#include "sheets/DateiListe.h"

#include "platform/Printer.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/ListPage.h"

namespace tarvel::sheets {

using platform::Printer;

DateiListe::DateiListe(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

void DateiListe::PreisZeile(Preis preis, const Artikel &artikel, const QString &waehrung)
{
    QString titel;
    switch (preis) {
    case Preis::EK: titel = QStringLiteral("EK-Preis"); break;
    case Preis::VK: titel = QStringLiteral("Preis"); break;
    case Preis::Listenpreis: titel = QStringLiteral("Liste"); break;
    case Preis::Leer: return;
    }
    m_feld = QStringLiteral("Feld ") + Artikel::feldName(preis);
    m_printer.PrintInline(titel + QStringLiteral(": "));
    m_printer.setFontBold(true);
    m_printer.PrintInline(artikel.preis(preis) + u' ' + waehrung);
    m_printer.setFontBold(false);
}

void DateiListe::Drucke(qint32 y, const Artikel &artikel, const ArtikelWahl &wahl)
{
    Printer &p = m_printer;
    m_feld = QStringLiteral("Feld BestellNr");
    ListPage::printBars(p, m_code, y, artikel.BestellNr);

    m_feld = QStringLiteral("Feld MatchCode");
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(500);
    p.PrintInline(QStringLiteral("Matchcode: ") + artikel.MatchCode);
    m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
    p.setCurrentX(3500);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    if (wahl.lagerfach) {
        m_feld = QStringLiteral("Feld LagerfachNr");
        p.setCurrentX(500);
        p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    }
    m_feld = QStringLiteral("Feld KurzText1");
    p.setCurrentX(500);
    p.Print(artikel.KurzText1);
    m_feld = QStringLiteral("Feld KurzText2");
    p.setCurrentX(500);
    p.Print(artikel.KurzText2);
    if (!artikel.KurzText3.isEmpty()) {
        m_feld = QStringLiteral("Feld KurzText3");
        p.setCurrentX(500);
        p.Print(artikel.KurzText3);
    }
    p.setCurrentX(500);
    PreisZeile(wahl.preis1, artikel, wahl.waehrung);
    p.setCurrentX(3500);
    PreisZeile(wahl.preis2, artikel, wahl.waehrung);

    m_feld = QStringLiteral("Feld BestellNr");
    ListPage::printNumber(p, y, artikel.BestellNr);
}

} // namespace tarvel::sheets
