#include "runs/DateiDruck.h"

#include "barcode/Code128.h"
#include "runs/Datei.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <limits>

namespace tarvel::runs {

using platform::Numbers::leadingNumber;
using platform::Numbers::toInt16;
using platform::Printer;
using platform::RuntimeError;

/// Thrown when the progress callback asks to stop.
class DateiDruck::Abbruch
{
};

namespace {

const QString Arial = QStringLiteral("Arial");

// The inner text of a detail "(...)", without its brackets.
QString innerDetail(const RuntimeError &e)
{
    QString d = e.detail();
    if (d.startsWith(u'(') && d.endsWith(u')'))
        d = d.mid(1, d.size() - 2);
    return d;
}

// \a e with its detail placed behind \a where: "(where: detail)".
RuntimeError located(const RuntimeError &e, const QString &where)
{
    const QString inner = innerDetail(e);
    return RuntimeError(e.number(), inner.isEmpty() ? QStringLiteral("(%1)").arg(where)
                                                    : QStringLiteral("(%1: %2)").arg(where, inner));
}

// Today's or the given date in the user's short format, with the year in full.
QString headerDate(const QDate &date)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return locale.toString(date.isValid() ? date : QDate::currentDate(), format);
}

} // namespace

DateiDruck::DateiDruck(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

QString DateiDruck::fehlerText(const RuntimeError &fehler)
{
    return QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:") + QStringLiteral("\n\r\n\r")
           + fehler.text();
}

void DateiDruck::probeArtikel(Datei &artikel)
{
    artikel.Bereich.clear();
    artikel.ArtikelNr = QStringLiteral("123.456");
    artikel.BestellNr = QStringLiteral("Flasch Bier");
    artikel.KurzText1 = QStringLiteral("1234567890123456789012345678901234567890");
    artikel.KurzText2 = QStringLiteral("Das sind noch mal ganz genau 40 Zeichen.");
    artikel.KurzText3 = QStringLiteral("Dritte Kurzttextzeile...................");
    artikel.EK = QStringLiteral("123456,12");
    artikel.VK = QStringLiteral("123456,12");
    artikel.Listenpreis = QStringLiteral("123456,12");
    artikel.LagerfachNr = QStringLiteral("AB1234");
    artikel.MatchCode = QStringLiteral("BOELKSTOFF");
}

void DateiDruck::DateiLabel(const Datei &artikel, const Auswahl &auswahl, qint32 x, qint32 y)
{
    Printer &p = m_printer;
    m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
    p.setFontName(Arial);
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(x + 3600);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    m_feld = QStringLiteral("Feld MatchCode");
    p.setCurrentX(x + 3600);
    p.Print(artikel.MatchCode);

    if (auswahl.lagerfach) {
        m_feld = QStringLiteral("Feld LagerfachNr");
        p.setCurrentX(x + 3600);
        p.Print(QStringLiteral("Lagerfach: ") + artikel.LagerfachNr);
    }

    p.setCurrentX(x + 3600);
    QString preis;
    switch (auswahl.preis1) {
    case 0: preis = artikel.EK; m_feld = QStringLiteral("Feld EK"); break;
    case 1: preis = artikel.VK; m_feld = QStringLiteral("Feld VK"); break;
    case 2: preis = artikel.Listenpreis; m_feld = QStringLiteral("Feld Listenpreis"); break;
    default: break;
    }
    if (!preis.isEmpty()) {
        p.setFontSize(12);
        p.setFontBold(true);
        p.PrintInline(preis + u' ' + auswahl.waehrung);
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

RuntimeError DateiDruck::imSatz(const RuntimeError &fehler, const Datei &artikel) const
{
    // A printer that fails is told at the record it was drawing, not at a field of it.
    if (fehler.number() == RuntimeError::PrinterError)
        return located(fehler, QStringLiteral("Datei „%1“, Zeile %2")
                                   .arg(QFileInfo(artikel.dateiName()).fileName())
                                   .arg(artikel.zeile()));
    return located(fehler, QStringLiteral("Datei „%1“, Zeile %2, %3")
                               .arg(QFileInfo(artikel.dateiName()).fileName())
                               .arg(artikel.zeile())
                               .arg(m_feld));
}

qint64 DateiDruck::gesamt(const QString &datei) const
{
    if (!m_fortschritt)
        return 0;
    Datei zaehler;
    return zaehler.GetAnzahl(datei);
}

void DateiDruck::fortschritt(qint64 erledigt, qint64 gesamt)
{
    if (m_fortschritt && !m_fortschritt(erledigt, gesamt))
        throw Abbruch();
}

DateiDruck::Ergebnis DateiDruck::ausfuehren(const QString &datei, const QString &erfolg,
                                            const std::function<void()> &lauf)
{
    Ergebnis e;
    try {
        lauf();
        e.ziel = m_printer.EndDoc();
        e.meldung = erfolg;
    } catch (const RuntimeError &fehler) {
        m_printer.KillDoc();
        e.art = Ergebnis::Fehler;
        e.fehler = fehler;
        e.meldung = fehlerText(fehler);
    } catch (const Abbruch &) {
        m_printer.KillDoc();
        e.art = Ergebnis::Abgebrochen;
        e.meldung = QStringLiteral("Der Druck von „%1“ wurde abgebrochen; nichts davon wurde gedruckt.")
                        .arg(QFileInfo(datei).fileName());
    }
    return e;
}

DateiDruck::Ergebnis DateiDruck::LabelDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("Barcode erfolgreich gedruckt."), [&] {
        const int kopien = auswahl.kopien == 0 ? 1 : auswahl.kopien;
        const qint64 alle = gesamt(datei);
        Datei artikel;
        artikel.Oeffnen(datei);
        fortschritt(0, alle);
        while (artikel.Lesen()) {
            for (int n = 0; n < kopien; ++n) {
                try {
                    DateiLabel(artikel, auswahl, 0, 0);
                    m_feld = QStringLiteral("Seitenwechsel");
                    m_printer.NewPage();
                } catch (const RuntimeError &fehler) {
                    throw imSatz(fehler, artikel);
                }
            }
            fortschritt(artikel.zeile(), alle);
        }
    });
}

DateiDruck::Ergebnis DateiDruck::LaserDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("LaserLabels erfolgreich gedruckt."), [&] {
        const int kopien = auswahl.kopien == 0 ? 1 : auswahl.kopien;
        const qint64 alle = gesamt(datei);
        Datei artikel;
        artikel.Oeffnen(datei);

        qint16 skip = 0;
        try {
            skip = toInt16(leadingNumber(auswahl.startLabel) - 1);
        } catch (const RuntimeError &fehler) {
            throw located(fehler, QStringLiteral("Feld Startlabel „%1“").arg(auswahl.startLabel));
        }
        qint32 reihe = 0, spalte = 0;
        // Skipping never starts a new sheet: beyond 16 it wraps to the top.
        for (int i = 0; i < skip; ++i) {
            if (reihe < 7) {
                ++reihe;
            } else {
                reihe = 0;
                spalte = 1 - spalte;
            }
        }

        fortschritt(0, alle);
        while (artikel.Lesen()) {
            for (int n = 0; n < kopien; ++n) {
                try {
                    DateiLabel(artikel, auswahl, spalte * LaserSpalte + 100, reihe * LaserReihe + 700);
                    if (reihe < 7) {
                        ++reihe;
                    } else if (spalte == 1) {
                        spalte = 0;
                        reihe = 0;
                        m_feld = QStringLiteral("Seitenwechsel");
                        m_printer.NewPage();
                    } else {
                        spalte = 1;
                        reihe = 0;
                    }
                } catch (const RuntimeError &fehler) {
                    throw imSatz(fehler, artikel);
                }
            }
            fortschritt(artikel.zeile(), alle);
        }
    });
}

DateiDruck::Ergebnis DateiDruck::ProbeDrucken(const Auswahl &auswahl)
{
    return ausfuehren({}, QStringLiteral("Test-Label erfolgreich gedruckt."), [&] {
        Datei artikel;
        probeArtikel(artikel);
        try {
            DateiLabel(artikel, auswahl, 0, 0);
        } catch (const RuntimeError &fehler) {
            throw located(fehler, QStringLiteral("Test-Label, %1").arg(m_feld));
        }
    });
}

void DateiDruck::PreisZeile(int gruppe, const Datei &artikel, const Auswahl &auswahl)
{
    const int knopf = gruppe == 1 ? auswahl.preis1 : auswahl.preis2;
    QString titel, preis;
    switch (knopf) {
    case 0: titel = QStringLiteral("EK-Preis"); preis = artikel.EK; m_feld = QStringLiteral("Feld EK"); break;
    case 1: titel = QStringLiteral("Preis"); preis = artikel.VK; m_feld = QStringLiteral("Feld VK"); break;
    case 2: titel = QStringLiteral("Liste"); preis = artikel.Listenpreis; m_feld = QStringLiteral("Feld Listenpreis"); break;
    default: break;
    }
    if (titel.isEmpty())
        return;
    m_printer.PrintInline(titel + QStringLiteral(": "));
    m_printer.setFontBold(true);
    m_printer.PrintInline(preis + u' ' + auswahl.waehrung);
    m_printer.setFontBold(false);
}

void DateiDruck::Seitenkopf(int &seite, const QDate &datum)
{
    try {
        Printer &p = m_printer;
        p.setFontName(Arial);
        p.setFontSize(10);
        p.setFontItalic(true);
        p.setFontBold(false);
        p.setForeColor(Printer::QBColor(1));
        p.setCurrentY(300);
        p.setCurrentX(500);
        p.PrintInline(QStringLiteral("Barcode-Liste vom ") + headerDate(datum));
        p.setCurrentX(5500);
        p.PrintInline(QStringLiteral("Seite "));
        p.Print(Printer::NumberItem(seite));
        ++seite;
    } catch (const RuntimeError &fehler) {
        throw located(fehler, QStringLiteral("Seitenkopf der Seite %1").arg(seite));
    }
}

void DateiDruck::ListenZeile(const Datei &artikel, const Auswahl &auswahl, qint32 y)
{
    Printer &p = m_printer;
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));

    m_feld = QStringLiteral("Feld BestellNr");
    p.setCurrentY(y);
    p.setCurrentX(5500);
    m_code.Drucke(p, artikel.BestellNr, 680);

    m_feld = QStringLiteral("Feld MatchCode");
    p.setFontName(Arial);
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(500);
    p.PrintInline(QStringLiteral("Matchcode: ") + artikel.MatchCode);
    m_feld = QStringLiteral("Feld Bereich/ArtikelNr");
    p.setCurrentX(3500);
    p.Print(artikel.Bereich + u' ' + artikel.ArtikelNr);

    if (auswahl.lagerfach) {
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
    PreisZeile(1, artikel, auswahl);
    p.setCurrentX(3500);
    PreisZeile(2, artikel, auswahl);

    m_feld = QStringLiteral("Feld BestellNr");
    p.setFontSize(10);
    p.setFontBold(true);
    p.setCurrentY(y + 750);
    p.setCurrentX(5500);
    p.Print(artikel.BestellNr);
}

DateiDruck::Ergebnis DateiDruck::ListeDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("Barcode erfolgreich gedruckt."), [&] {
        // Without a chosen range every page is printed.
        int von = 0, bis = std::numeric_limits<int>::max();
        if (auswahl.seitenBereich) {
            von = auswahl.vonSeite;
            bis = auswahl.bisSeite;
        }
        const qint64 alle = gesamt(datei);
        Datei artikel;
        artikel.Oeffnen(datei);
        fortschritt(0, alle);

        // Pages before the range are read, not printed.
        int seite = 1;
        bool ende = false;
        while (seite < von && !ende) {
            for (int i = 0; i < 12 && !ende; ++i)
                ende = !artikel.Lesen();
            if (!ende)
                ++seite;
        }
        Seitenkopf(seite, auswahl.datum);
        qint32 y = ErsteZeile;
        while (artikel.Lesen()) {
            try {
                ListenZeile(artikel, auswahl, y);
            } catch (const RuntimeError &fehler) {
                throw imSatz(fehler, artikel);
            }
            fortschritt(artikel.zeile(), alle);
            if (y >= LetzteZeileAb) {
                if (seite > bis)
                    break;
                m_printer.NewPage();
                Seitenkopf(seite, auswahl.datum);
                y = ErsteZeile;
            } else {
                y += ZeilenAbstand;
            }
        }
    });
}

} // namespace tarvel::runs
