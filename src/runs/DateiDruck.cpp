#include "runs/DateiDruck.h"

#include "barcode/Code128.h"
#include "labelprinter/MediaFit.h"

#include "labelprinter/PrintErrorText.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "runs/Datei.h"
#include "sheets/DateiLabel.h"
#include "sheets/DateiLaserLabels.h"
#include "sheets/DateiListe.h"
#include "platform/FieldTag.h"
#include "platform/PrinterStyleGuard.h"

#include <QFileInfo>
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

const QString Seitenwechsel = QStringLiteral("Seitenwechsel");

// Where in a record drawing failed: "Feld BestellNr" for a field, a place ("Seitenwechsel") as it is.
QString ort(const QString &feld)
{
    return feld == Seitenwechsel || feld.contains(u' ') ? feld : QStringLiteral("Feld ") + feld;
}

// Adds to \a fehler the file and line of the record \a artikel, and \a feld, the field
// being drawn. A printer that fails is told at the record, not at a field of it.
void imSatz(RuntimeError &fehler, const Datei &artikel, const QString &feld)
{
    if (fehler.number() != RuntimeError::PrinterError && !feld.isEmpty())
        fehler.at(ort(feld));
    fehler.at(QStringLiteral("Zeile %1").arg(artikel.zeile()))
        .at(QStringLiteral("Datei „%1“").arg(QFileInfo(artikel.dateiName()).fileName()));
}

// The few words a mark shows for a record that could not be drawn.
QString notizZu(const RuntimeError &fehler)
{
    return fehler.number() == RuntimeError::PrinterError ? QStringLiteral("Druckerfehler")
                                                         : QStringLiteral("Barcode unmöglich");
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

void DateiDruck::markieren(const QRect &box, const QPoint &notizPunkt, const QString &notiz)
{
    Printer &p = m_printer;
    const platform::FieldTag ohneFeld(p);
    const platform::PrinterStyleGuard stil(p);
    const QColor rot(210, 0, 0);
    // Just inside the box, so the frames of neighbouring labels keep apart.
    const QRectF rahmen = QRectF(box).adjusted(-50, -50, -100, -100);
    p.setDrawWidth(std::max(1, qRound(15 / p.TwipsPerPixelX()))); // about a quarter of a millimetre
    p.Line(rahmen.left(), rahmen.top(), rahmen.width(), 0, rot);
    p.Line(rahmen.left(), rahmen.bottom(), rahmen.width(), 0, rot);
    p.Line(rahmen.left(), rahmen.top(), 0, rahmen.height(), rot);
    p.Line(rahmen.right(), rahmen.top(), 0, rahmen.height(), rot);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(7);
    p.setFontBold(true);
    p.setFontItalic(false);
    p.setForeColor(rot);
    p.setCurrentX(notizPunkt.x());
    p.setCurrentY(notizPunkt.y());
    p.PrintInline(notiz);
}

void DateiDruck::saetze(Datei &artikel, sheets::DateiLayout &layout, const Auswahl &auswahl, int kopien, qint64 alle,
                        const std::function<void()> &vorher)
{
    layout.setWeiterBeiFehler(m_beiFehler == BeiFehler::Weiter);
    fortschritt(0, alle);
    while (layout.weiter() && artikel.Lesen()) {
        m_printer.setTagRecord(artikel.zeile());
        std::optional<RuntimeError> fehler;
        std::optional<QString> notiz;
        // An error is the record's: told at its line and the field being drawn, it stops a print; going
        // on past errors it is kept for the record, and the loop goes on.
        const auto fehlerImSatz = [&](RuntimeError &f) {
            const QString feld = m_printer.tag().field;
            m_printer.setTagRecord(0);
            m_printer.setTagField({});
            if (m_beiFehler == BeiFehler::Abbrechen) {
                imSatz(f, artikel, feld);
                throw;
            }
            if (!fehler) {
                fehler = f;
                if (!feld.isEmpty())
                    fehler->at(ort(feld));
            }
            notiz = notizZu(f);
            m_printer.setTagRecord(artikel.zeile());
        };
        for (int n = 0; n < kopien && layout.weiter(); ++n) {
            const sheets::SatzPlatz platz = layout.platz();
            try {
                if (vorher)
                    vorher();
                layout.Drucke(artikel, auswahl);
            } catch (RuntimeError &f) {
                fehlerImSatz(f);
            }
            if (m_markieren) {
                const auto marke = m_marken.constFind(artikel.zeile());
                // The check's note of the record already names its error where it has one.
                const std::optional<QString> text = marke == m_marken.cend()   ? notiz
                                                    : !notiz || marke->contains(*notiz) ? *marke
                                                                                         : *notiz + QStringLiteral("; ") + *marke;
                if (text)
                    markieren(platz.box, platz.notiz, *text);
            }
            try {
                layout.naechsterPlatz();
            } catch (RuntimeError &f) {
                fehlerImSatz(f);
            }
        }
        m_printer.setTagRecord(0);
        if (m_satzFertig)
            m_satzFertig(artikel, fehler ? &*fehler : nullptr);
        fortschritt(artikel.zeile(), alle);
    }
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

void DateiDruck::passtAufsEtikett(const sheets::Artikel &artikel, const sheets::ArtikelWahl &wahl)
{
    labelprinter::MediaFit::ensure(m_printer, QStringLiteral("Label"), [&](platform::Printer &p) {
        barcode::Code128 code;
        code.InitBreite(p, m_code.DrawWidth());
        sheets::DateiLabel(p, code).Drucke(0, 0, artikel, wahl);
    });
}

DateiDruck::Ergebnis DateiDruck::LabelDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("Barcode erfolgreich gedruckt."), [&] {
        const qint64 alle = gesamt(datei);
        sheets::DateiLabel label(m_printer, m_code);
        Datei artikel;
        artikel.Oeffnen(datei);
        saetze(artikel, label, auswahl, auswahl.kopien == 0 ? 1 : auswahl.kopien, alle,
               [&] { passtAufsEtikett(artikel, auswahl); });
    });
}

DateiDruck::Ergebnis DateiDruck::LaserDrucken(const QString &datei, const Auswahl &auswahl)
{
    return ausfuehren(datei, QStringLiteral("LaserLabels erfolgreich gedruckt."), [&] {
        const qint64 alle = gesamt(datei);
        Datei artikel;
        artikel.Oeffnen(datei);
        sheets::DateiLaserLabels bogen(m_printer, m_code);
        try {
            bogen.skip(toInt16(leadingNumber(auswahl.startLabel) - 1));
        } catch (RuntimeError &fehler) {
            fehler.at(QStringLiteral("Feld Startlabel „%1“").arg(auswahl.startLabel));
            throw;
        }
        saetze(artikel, bogen, auswahl, auswahl.kopien == 0 ? 1 : auswahl.kopien, alle);
    });
}

DateiDruck::Ergebnis DateiDruck::ProbeDrucken(const Auswahl &auswahl)
{
    return ausfuehren({}, QStringLiteral("Test-Label erfolgreich gedruckt."), [&] {
        Datei artikel;
        probeArtikel(artikel);
        sheets::DateiLabel label(m_printer, m_code);
        try {
            passtAufsEtikett(artikel, auswahl);
            label.Drucke(0, 0, artikel, auswahl);
        } catch (RuntimeError &fehler) {
            fehler.at(ort(m_printer.tag().field)).at(QStringLiteral("Test-Label"));
            throw;
        }
    });
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

        // Pages before the range are read, not printed.
        int seite = 1;
        bool ende = false;
        while (seite < von && !ende) {
            for (int i = 0; i < sheets::DateiListe::ZeilenJeSeite && !ende; ++i)
                ende = !artikel.Lesen();
            if (!ende)
                ++seite;
        }
        sheets::DateiListe liste(m_printer, m_code, auswahl.datum, bis);
        try {
            liste.beginnen(seite);
        } catch (RuntimeError &fehler) {
            fehler.at(m_printer.tag().field);
            throw;
        }
        saetze(artikel, liste, auswahl, 1, alle);
    });
}

} // namespace tarvel::runs
