#include "sheets/DateiLabel.h"

#include "barcode/Code128.h"
#include "platform/FieldTag.h"
#include "platform/Printer.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/LabelClip.h"

#include <algorithm>
#include <cmath>

namespace tarvel::sheets {

using platform::FieldTag;
using platform::Printer;

DateiLabel::DateiLabel(Printer &printer, barcode::Code128 &code) : DateiLayout(printer), m_code(code) {}

SatzPlatz DateiLabel::platz(qint32 x, qint32 y)
{
    return {QRect(x, y, Breite, Hoehe), QPoint(x + TextSpalte, y + 1450)};
}

void DateiLabel::naechsterPlatz()
{
    FieldTag feld(m_printer, QStringLiteral("Seitenwechsel"));
    m_printer.NewPage();
}

bool DateiLabel::barcodePasst(const QString &text, qint32 platz) const
{
    try {
        return m_code.fits(text, platz);
    } catch (const platform::RuntimeError &) {
        return true; // drawing it names what is wrong with it
    }
}

void DateiLabel::Drucke(qint32 x, qint32 y, const Artikel &artikel, const ArtikelWahl &wahl, bool nachbarRechts)
{
    Printer &p = m_printer;
    // Where the label's texts end: its right edge, short of the quiet zone of the bars of a label
    // on its right, and never past the page.
    const qint32 rand = std::min<qint32>(x + Breite - (nachbarRechts ? qint32(std::ceil(m_code.quietZone())) : 0),
                                         qint32(p.ScaleWidth()));
    const auto bis = [&](qint32 links) { return std::max(rand - links, 1); };
    LabelClip clip(p, x + TextSpalte, y, bis(x + TextSpalte), Hoehe);
    FieldTag feld(p, QStringLiteral("Bereich/ArtikelNr"));
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(x + TextSpalte);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    feld.set(QStringLiteral("MatchCode"));
    p.setCurrentX(x + TextSpalte);
    p.Print(artikel.MatchCode);

    if (wahl.lagerfach) {
        feld.set(QStringLiteral("LagerfachNr"));
        p.setCurrentX(x + TextSpalte);
        p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    }

    p.setCurrentX(x + TextSpalte);
    const QString preis = artikel.preis(wahl.preis1);
    if (!preis.isEmpty()) {
        feld.set(Artikel::feldName(wahl.preis1));
        p.setFontSize(12);
        p.setFontBold(true);
        p.PrintInline(preis + u' ' + wahl.waehrung);
        p.setFontSize(8);
        p.setFontBold(false);
    }

    // The bars and their quiet zone end before the text column (or the page's edge): a
    // barcode too wide for that is cut there, and the check names it.
    // Below the text column the left part spans the whole label: the number under the bars (a
    // number wider than the bars' place has bars too wide for it) and the short texts.
    const qint32 platz = std::min<qint32>(TextSpalte, qint32(p.ScaleWidth()) - x);
    feld.set(QStringLiteral("BestellNr"));
    const bool passt = barcodePasst(artikel.BestellNr, platz);
    if (passt)
        clip.to(x, y, bis(x), Hoehe);
    else
        clip.to(x, y, std::max(platz - qint32(std::floor(m_code.quietZone())), 1), Hoehe);
    p.setCurrentY(y);
    p.setCurrentX(x);
    barcode([&] { m_code.Drucke(p, artikel.BestellNr, 680, platz); });
    if (!passt)
        clip.to(x, y, bis(x), Hoehe);
    p.setFontSize(12);
    p.setFontBold(true);
    p.setCurrentY(y + 700);
    p.setCurrentX(x);
    p.Print(artikel.BestellNr);
    p.setFontBold(false);
    p.setFontSize(12);

    feld.set(QStringLiteral("KurzText1"));
    p.setCurrentX(x);
    p.Print(artikel.KurzText1);
    feld.set(QStringLiteral("KurzText2"));
    p.setCurrentX(x);
    p.Print(artikel.KurzText2);
    satzEnde();
}

} // namespace tarvel::sheets
