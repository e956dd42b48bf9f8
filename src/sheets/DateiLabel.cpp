#include "sheets/DateiLabel.h"

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/LabelClip.h"

#include <algorithm>

namespace tarvel::sheets {

using platform::Printer;

namespace {

/// A text of the label: its field, its font and the column it stands in.
struct Eintrag
{
    const char *feld;
    QString text;
    double size;
    bool bold;
    bool textSpalte;
};

/// The texts Drucke prints, in the fonts it prints them in.
QList<Eintrag> eintraege(const Artikel &artikel, const ArtikelWahl &wahl)
{
    QList<Eintrag> e{
        {"Bereich/ArtikelNr", artikel.Bereich + u' ' + artikel.ArtikelNr, 8, false, true},
        {"MatchCode", artikel.MatchCode, 8, false, true},
        {"BestellNr", artikel.BestellNr, 12, true, false},
        {"KurzText1", artikel.KurzText1, 12, false, false},
        {"KurzText2", artikel.KurzText2, 12, false, false},
    };
    if (wahl.lagerfach)
        e.append({"LagerfachNr", QStringLiteral("Lagerfach: ") + artikel.LagerfachNr, 8, false, true});
    const QString preis = artikel.preis(wahl.preis1);
    if (!preis.isEmpty())
        e.append({nullptr, preis + u' ' + wahl.waehrung, 12, true, true});
    return e;
}

} // namespace

DateiLabel::DateiLabel(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

qint32 DateiLabel::barcodePlatz(Printer &printer, qint32 x)
{
    return std::min<qint32>(TextSpalte, qint32(printer.ScaleWidth()) - x);
}

QStringList DateiLabel::abgeschnitten(Printer &printer, const Artikel &artikel, const ArtikelWahl &wahl)
{
    QStringList felder;
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontItalic(false);
    for (const Eintrag &e : eintraege(artikel, wahl)) {
        printer.setFontSize(e.size);
        printer.setFontBold(e.bold);
        const qint32 breite = e.textSpalte ? Breite - TextSpalte : TextSpalte;
        if (printer.TextWidth(e.text) > breite)
            felder.append(e.feld ? QString::fromLatin1(e.feld) : Artikel::feldName(wahl.preis1));
    }
    return felder;
}

void DateiLabel::Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl)
{
    Printer &p = m_printer;
    LabelClip clip(p, x + TextSpalte, y, Breite - TextSpalte, Hoehe);
    m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(x + TextSpalte);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    m_feld = QStringLiteral("Feld MatchCode");
    p.setCurrentX(x + TextSpalte);
    p.Print(artikel.MatchCode);

    if (wahl.lagerfach) {
        m_feld = QStringLiteral("Feld LagerfachNr");
        p.setCurrentX(x + TextSpalte);
        p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    }

    p.setCurrentX(x + TextSpalte);
    const QString preis = artikel.preis(wahl.preis1);
    if (!preis.isEmpty()) {
        m_feld = QStringLiteral("Feld ") + Artikel::feldName(wahl.preis1);
        p.setFontSize(12);
        p.setFontBold(true);
        p.PrintInline(preis + u' ' + wahl.waehrung);
        p.setFontSize(8);
        p.setFontBold(false);
    }

    // The barcode column: nothing of it may reach the price.
    clip.to(x, y, TextSpalte, Hoehe);
    m_feld = QStringLiteral("Feld BestellNr");
    p.setCurrentY(y);
    p.setCurrentX(x);
    m_code.Drucke(p, artikel.BestellNr, 680, barcodePlatz(p, x));
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
