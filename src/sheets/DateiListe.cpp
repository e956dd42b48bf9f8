#include "sheets/DateiListe.h"

#include "platform/Printer.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/LabelClip.h"
#include "sheets/ListPage.h"

namespace tarvel::sheets {

using platform::Printer;
using namespace ListPage;

DateiListe::DateiListe(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

QString DateiListe::PreisTitel(Preis preis)
{
    switch (preis) {
    case Preis::EK: return QStringLiteral("EK-Preis: ");
    case Preis::VK: return QStringLiteral("Preis: ");
    case Preis::Listenpreis: return QStringLiteral("Liste: ");
    case Preis::Leer: break;
    }
    return {};
}

void DateiListe::PreisZeile(Preis preis, const Artikel &artikel, const QString &waehrung)
{
    if (preis == Preis::Leer)
        return;
    m_feld = QStringLiteral("Feld ") + Artikel::feldName(preis);
    m_printer.PrintInline(PreisTitel(preis));
    m_printer.setFontBold(true);
    m_printer.PrintInline(artikel.preis(preis) + u' ' + waehrung);
    m_printer.setFontBold(false);
}

QStringList DateiListe::abgeschnitten(Printer &printer, const Artikel &artikel, const ArtikelWahl &wahl)
{
    QStringList felder;
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontItalic(false);
    printer.setFontSize(8);
    const auto pruefe = [&](const QString &feld, double breite, const QString &text, const QString &fett = {}) {
        printer.setFontBold(false);
        double w = printer.TextWidth(text);
        if (!fett.isEmpty()) {
            printer.setFontBold(true);
            w += printer.TextWidth(fett);
        }
        if (w > breite)
            felder.append(feld);
    };
    const auto preis = [&](Preis p, double breite) {
        if (p != Preis::Leer)
            pruefe(Artikel::feldName(p), breite, PreisTitel(p), artikel.preis(p) + u' ' + wahl.waehrung);
    };
    pruefe(QStringLiteral("MatchCode"), SecondX - TextX, QStringLiteral("Matchcode: ") + artikel.MatchCode);
    pruefe(QStringLiteral("Bereich/ArtikelNr"), BarsX - SecondX, artikel.Bereich + u' ' + artikel.ArtikelNr);
    if (wahl.lagerfach)
        pruefe(QStringLiteral("LagerfachNr"), BarsX - TextX, QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    pruefe(QStringLiteral("KurzText1"), BarsX - TextX, artikel.KurzText1);
    pruefe(QStringLiteral("KurzText2"), BarsX - TextX, artikel.KurzText2);
    pruefe(QStringLiteral("KurzText3"), BarsX - TextX, artikel.KurzText3);
    preis(wahl.preis1, SecondX - TextX);
    preis(wahl.preis2, BarsX - SecondX);
    return felder;
}

void DateiListe::Drucke(qint32 y, const Artikel &artikel, const ArtikelWahl &wahl)
{
    Printer &p = m_printer;
    m_feld = QStringLiteral("Feld BestellNr");
    printBars(p, m_code, y, artikel.BestellNr);

    {
        // Each text ends at its column: before the second column where that has
        // something on the line, else before the bars.
        LabelClip clip(p, TextX, y, SecondX - TextX, RowPitch);
        m_feld = QStringLiteral("Feld MatchCode");
        p.setFontName(QStringLiteral("Arial"));
        p.setFontSize(8);
        p.setFontBold(false);
        p.setCurrentY(y);
        p.setCurrentX(TextX);
        p.PrintInline(QStringLiteral("Matchcode: ") + artikel.MatchCode);
        clip.to(SecondX, y, BarsX - SecondX, RowPitch);
        m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
        p.setCurrentX(SecondX);
        p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

        clip.to(TextX, y, BarsX - TextX, RowPitch);
        if (wahl.lagerfach) {
            m_feld = QStringLiteral("Feld LagerfachNr");
            p.setCurrentX(TextX);
            p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
        }
        m_feld = QStringLiteral("Feld KurzText1");
        p.setCurrentX(TextX);
        p.Print(artikel.KurzText1);
        m_feld = QStringLiteral("Feld KurzText2");
        p.setCurrentX(TextX);
        p.Print(artikel.KurzText2);
        if (!artikel.KurzText3.isEmpty()) {
            m_feld = QStringLiteral("Feld KurzText3");
            p.setCurrentX(TextX);
            p.Print(artikel.KurzText3);
        }
        clip.to(TextX, y, SecondX - TextX, RowPitch);
        p.setCurrentX(TextX);
        PreisZeile(wahl.preis1, artikel, wahl.waehrung);
        clip.to(SecondX, y, BarsX - SecondX, RowPitch);
        p.setCurrentX(SecondX);
        PreisZeile(wahl.preis2, artikel, wahl.waehrung);
    }

    m_feld = QStringLiteral("Feld BestellNr");
    printNumber(p, y, artikel.BestellNr);
}

} // namespace tarvel::sheets
