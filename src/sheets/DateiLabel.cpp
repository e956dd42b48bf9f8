#include "sheets/DateiLabel.h"

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "sheets/ArtikelWahl.h"

namespace tarvel::sheets {

using platform::Printer;

DateiLabel::DateiLabel(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

void DateiLabel::Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl)
{
    Printer &p = m_printer;
    m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(x + 3600);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    m_feld = QStringLiteral("Feld MatchCode");
    p.setCurrentX(x + 3600);
    p.Print(artikel.MatchCode);

    if (wahl.lagerfach) {
        m_feld = QStringLiteral("Feld LagerfachNr");
        p.setCurrentX(x + 3600);
        p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    }

    p.setCurrentX(x + 3600);
    const QString preis = artikel.preis(wahl.preis1);
    if (!preis.isEmpty()) {
        m_feld = QStringLiteral("Feld ") + Artikel::feldName(wahl.preis1);
        p.setFontSize(12);
        p.setFontBold(true);
        p.PrintInline(preis + u' ' + wahl.waehrung);
        p.setFontSize(8);
        p.setFontBold(false);
    }

    m_feld = QStringLiteral("Feld BestellNr");
    p.setCurrentY(y);
    p.setCurrentX(x);
    m_code.Drucke(p, artikel.BestellNr, 680);
    p.setFontSize(12);
    p.setFontBold(true);
    p.setCurrentY(y + 700);
    p.setCurrentX(x);
    p.Print(artikel.BestellNr);
    p.setFontBold(false);
    p.setFontSize(12);

    m_feld = QStringLiteral("Feld KurzText1");
    p.setCurrentX(x);
    p.Print(artikel.KurzText1);
    m_feld = QStringLiteral("Feld KurzText2");
    p.setCurrentX(x);
    p.Print(artikel.KurzText2);
}

} // namespace tarvel::sheets
