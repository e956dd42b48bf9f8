#include "sheets/DateiListe.h"

#include "barcode/Code128.h"
#include "platform/FieldTag.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/LabelClip.h"

namespace tarvel::sheets {

using platform::FieldTag;
using platform::Printer;
using namespace ListPage;

DateiListe::DateiListe(Printer &printer, barcode::Code128 &code, const QDate &datum, int bis)
    : DateiLayout(printer), m_code(code), m_datum(datum.isValid() ? datum : QDate::currentDate()), m_bis(bis)
{
}

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
    m_printer.setTagField(Artikel::feldName(preis));
    m_printer.PrintInline(PreisTitel(preis));
    m_printer.setFontBold(true);
    m_printer.PrintInline(artikel.preis(preis) + u' ' + waehrung);
    m_printer.setFontBold(false);
}

void DateiListe::beginnen(int seite)
{
    m_seite = seite;
    Kopf();
}

void DateiListe::Kopf()
{
    FieldTag feld(m_printer, QStringLiteral("Seitenkopf der Seite %1").arg(m_seite));
    printHeader(m_printer, m_seite, m_datum);
    ++m_seite;
    m_y = FirstRow;
}

SatzPlatz DateiListe::platz()
{
    return {QRect(TextX - 100, m_y, qint32(m_printer.ScaleWidth()) - TextX + 100, RowPitch), QPoint(BarsX, m_y + 1000)};
}

void DateiListe::naechsterPlatz()
{
    if (m_y < LastRowFrom) {
        m_y += RowPitch;
    } else if (m_seite > m_bis) {
        m_ende = true;
    } else {
        FieldTag feld(m_printer, QStringLiteral("Seitenwechsel"));
        m_printer.NewPage();
        Kopf();
    }
}

void DateiListe::Zeile(qint32 y, const Artikel &artikel, const ArtikelWahl &wahl)
{
    Printer &p = m_printer;
    FieldTag feld(p, QStringLiteral("BestellNr"));
    barcode([&] { printBars(p, m_code, y, artikel.BestellNr); });
    {
        // Each text ends at its column: before the second column where that has
        // something on the line, else before the bars' quiet zone.
        const qint32 balken = barsQuietZoneLeft(m_code);
        LabelClip clip(p, TextX, y, SecondX - TextX, RowPitch);
        feld.set(QStringLiteral("MatchCode"));
        p.setFontName(QStringLiteral("Arial"));
        p.setFontSize(8);
        p.setFontBold(false);
        p.setCurrentY(y);
        p.setCurrentX(TextX);
        p.PrintInline(QStringLiteral("Matchcode: ") + artikel.MatchCode);
        clip.to(SecondX, y, balken - SecondX, RowPitch);
        feld.set(QStringLiteral("Bereich/ArtikelNr"));
        p.setCurrentX(SecondX);
        p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

        clip.to(TextX, y, balken - TextX, RowPitch);
        if (wahl.lagerfach) {
            feld.set(QStringLiteral("LagerfachNr"));
            p.setCurrentX(TextX);
            p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
        }
        feld.set(QStringLiteral("KurzText1"));
        p.setCurrentX(TextX);
        p.Print(artikel.KurzText1);
        feld.set(QStringLiteral("KurzText2"));
        p.setCurrentX(TextX);
        p.Print(artikel.KurzText2);
        if (!artikel.KurzText3.isEmpty()) {
            feld.set(QStringLiteral("KurzText3"));
            p.setCurrentX(TextX);
            p.Print(artikel.KurzText3);
        }
        clip.to(TextX, y, SecondX - TextX, RowPitch);
        p.setCurrentX(TextX);
        PreisZeile(wahl.preis1, artikel, wahl.waehrung);
        clip.to(SecondX, y, balken - SecondX, RowPitch);
        p.setCurrentX(SecondX);
        PreisZeile(wahl.preis2, artikel, wahl.waehrung);
    }

    feld.set(QStringLiteral("BestellNr"));
    printNumber(p, y, artikel.BestellNr);
    satzEnde();
}

} // namespace tarvel::sheets
