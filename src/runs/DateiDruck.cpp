#include "runs/DateiDruck.h"

#include "labelprinter/PrintErrorText.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/PrinterStyleGuard.h"
#include "runs/Datei.h"
#include "sheets/DateiLabel.h"
#include "sheets/DateiLaserLabels.h"
#include "sheets/DateiListe.h"
#include "sheets/ListPage.h"

#include <QFileInfo>
#include <limits>

namespace tarvel::runs {

using platform::Numbers::leadingNumber;
using platform::Numbers::toInt16;
using platform::Printer;
using platform::RuntimeError;
namespace ListPage = sheets::ListPage;

/// Thrown when the progress callback asks to stop.
class DateiDruck::Abbruch
{
};

namespace {

const QString Seitenwechsel = QStringLiteral("Seitenwechsel");

// Adds to \a fehler the file and line of the record \a artikel, and \a feld, the field
// being drawn. A printer that fails is told at the record, not at a field of it.
void imSatz(RuntimeError &fehler, const Datei &artikel, const QString &feld)
{
    if (fehler.number() != RuntimeError::PrinterError)
        fehler.at(feld);
    fehler.at(QStringLiteral("Zeile %1").arg(artikel.zeile()))
        .at(QStringLiteral("Datei „%1“").arg(QFileInfo(artikel.dateiName()).fileName()));
}

// The sample record of the test label.
void probeArtikel(Datei &artikel)
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

} // namespace

DateiDruck::DateiDruck(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

qint64 DateiDruck::gesamt(const QString &datei) const
{
    if (!m_fortschritt)
        return 0;
    if (m_gesamt)
        return *m_gesamt;
    Datei zaehler;
    return zaehler.GetAnzahl(datei);
}

void DateiDruck::markieren(const Datei &artikel, double x, double y, double breite, double hoehe, double notizX,
                           double notizY)
{
    const auto notiz = m_marken.constFind(artikel.zeile());
    if (notiz == m_marken.cend())
        return;
    Printer &p = m_printer;
    const platform::PrinterStyleGuard stil(p);
    const QColor rot(210, 0, 0);
    p.setDrawWidth(std::max(1, qRound(15 / p.TwipsPerPixelX()))); // about a quarter of a millimetre
    p.Line(x, y, breite, 0, rot);
    p.Line(x, y + hoehe, breite, 0, rot);
    p.Line(x, y, 0, hoehe, rot);
    p.Line(x + breite, y, 0, hoehe, rot);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(7);
    p.setFontBold(true);
    p.setFontItalic(false);
    p.setForeColor(rot);
    p.setCurrentX(notizX);
    p.setCurrentY(notizY);
    p.PrintInline(*notiz);
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
        e.meldung = labelprinter::printErrorText(fehler);
    } catch (const Abbruch &) {
        m_printer.KillDoc();
        e.art = Ergebnis::Abgebrochen;
        e.meldung = QStringLiteral("Der Druck von „%1“ wurde abgebrochen; nichts davon wurde gedruckt.")
                        .arg(QFileInfo(datei).fileName());
    }
    return e;
}

DateiDruck::Ergebnis DateiDruck::Drucken(Art art, const QString &datei, const Auswahl &auswahl)
{
    switch (art) {
    case Art::Liste: return ListeDrucken(datei, auswahl);
    case Art::Label: return LabelDrucken(datei, auswahl);
    case Art::Laser: return LaserDrucken(datei, auswahl);
    }
    return {};
}

DateiDruck::Ergebnis DateiDruck::LabelDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("Barcode erfolgreich gedruckt."), [&] {
        const int kopien = auswahl.kopien == 0 ? 1 : auswahl.kopien;
        const qint64 alle = gesamt(datei);
        sheets::DateiLabel label(m_printer, m_code);
        Datei artikel;
        artikel.Oeffnen(datei);
        fortschritt(0, alle);
        while (artikel.Lesen()) {
            for (int n = 0; n < kopien; ++n) {
                markieren(artikel, 0, 0, 5900, 1830, 3600, 1450);
                try {
                    label.Drucke(0, 0, artikel, auswahl);
                } catch (RuntimeError &fehler) {
                    imSatz(fehler, artikel, label.feld());
                    throw;
                }
                try {
                    m_printer.NewPage();
                } catch (RuntimeError &fehler) {
                    imSatz(fehler, artikel, Seitenwechsel);
                    throw;
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

        sheets::DateiLaserLabels bogen(m_printer, m_code);
        constexpr sheets::SheetGrid raster = sheets::DateiLaserLabels::Grid;
        int platz = 0; // the place the next label takes, counted down the columns from 0
        try {
            const qint16 ueberspringen = toInt16(leadingNumber(auswahl.startLabel) - 1);
            bogen.skip(ueberspringen);
            platz = ueberspringen > 0 ? ueberspringen % raster.places() : 0;
        } catch (RuntimeError &fehler) {
            fehler.at(QStringLiteral("Feld Startlabel „%1“").arg(auswahl.startLabel));
            throw;
        }

        fortschritt(0, alle);
        while (artikel.Lesen()) {
            for (int n = 0; n < kopien; ++n) {
                const double x = raster.left + platz / raster.rows * raster.pitchX;
                const double y = raster.top + platz % raster.rows * raster.pitchY;
                markieren(artikel, x - 60, y - 60, raster.pitchX - 100, raster.pitchY - 100, x + 3600, y + 1450);
                platz = (platz + 1) % raster.places();
                try {
                    bogen.Drucke(artikel, auswahl);
                } catch (RuntimeError &fehler) {
                    imSatz(fehler, artikel, bogen.feld());
                    throw;
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
        sheets::DateiLabel label(m_printer, m_code);
        try {
            label.Drucke(0, 0, artikel, auswahl);
        } catch (RuntimeError &fehler) {
            fehler.at(label.feld()).at(QStringLiteral("Test-Label"));
            throw;
        }
    });
}

void DateiDruck::Seitenkopf(int &seite, const QDate &datum)
{
    try {
        ListPage::printHeader(m_printer, seite, datum.isValid() ? datum : QDate::currentDate());
        ++seite;
    } catch (RuntimeError &fehler) {
        fehler.at(QStringLiteral("Seitenkopf der Seite %1").arg(seite));
        throw;
    }
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
        sheets::DateiListe zeile(m_printer, m_code);
        Seitenkopf(seite, auswahl.datum);
        qint32 y = ListPage::FirstRow;
        while (artikel.Lesen()) {
            markieren(artikel, 400, y - 60, 10600, ListPage::RowPitch - 60, 5500, y + 1000);
            try {
                zeile.Drucke(y, artikel, auswahl);
            } catch (RuntimeError &fehler) {
                imSatz(fehler, artikel, zeile.feld());
                throw;
            }
            fortschritt(artikel.zeile(), alle);
            if (y >= ListPage::LastRowFrom) {
                if (seite > bis)
                    break;
                m_printer.NewPage();
                Seitenkopf(seite, auswahl.datum);
                y = ListPage::FirstRow;
            } else {
                y += ListPage::RowPitch;
            }
        }
    });
}

} // namespace tarvel::runs
