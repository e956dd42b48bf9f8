#pragma once

#include "platform/RuntimeError.h"
#include "sheets/ArtikelWahl.h"

#include <QDate>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {
class DateiLayout;
}

namespace tarvel::runs {

class Datei;

/// The kinds of run, by the index of the main window's buttons Option3(0..2),
/// stored as "Art". The one name of a run's kind: the window, the command
/// line, the check and the preview all pass it.
enum class Art { Liste = 0, Label = 1, Laser = 2 };

/// The print runs over an article file: labels on the label printer, laser
/// sheets of two columns by eight rows, and the barcode list, plus the test
/// label. Free of windows, so the main window, a batch run, the check before
/// printing and the preview share them; the layouts they draw are those of
/// sheets/ (DateiLabel, DateiLaserLabels, DateiListe), which own where each
/// record goes. One record loop serves every run: it reads the records, prints
/// the copies, reports progress, names the record an error belongs to and
/// stops when asked. Each run ends its own job; a run that fails or is
/// cancelled cancels it, so nothing of it is printed. The bar width is the one
/// the caller set on the Code128 object with InitBreite.
class DateiDruck
{
public:
    /// The choices a run prints with, as the main window offers them.
    struct Auswahl : sheets::ArtikelWahl
    {
        QString startLabel = QStringLiteral("1"); ///< first laser position, as typed
        int kopien = 1;               ///< copies per record (labels and laser sheets); 0 counts as 1
        bool seitenBereich = false;   ///< the list prints only the pages vonSeite..bisSeite
        int vonSeite = 0;
        int bisSeite = 0;
        QDate datum;                  ///< date of the list header; invalid means today
    };

    /// How a run ended.
    struct Ergebnis
    {
        enum Art { Gedruckt, Abgebrochen, Fehler };
        Art art = Gedruckt;
        QString meldung;  ///< the success message, or what went wrong
        QString ziel;     ///< where the job went (a PDF's path, a printer's name); empty if nothing
        std::optional<platform::RuntimeError> fehler;
        bool ok() const { return art == Gedruckt; }
    };

    /// Called after each record with the records done and the records in the
    /// file; returning false cancels the run.
    using Fortschritt = std::function<bool(qint64 erledigt, qint64 gesamt)>;

    /// How the record loop meets a record that cannot be drawn (its barcode
    /// cannot be encoded, a printer operation fails).
    enum class BeiFehler {
        Abbrechen, ///< printing: the run stops at that record and its job is cancelled
        /// The check and the preview: the record is drawn as far as it goes (all
        /// its texts, without the barcode that failed); its error goes to
        /// SatzFertig and, where marks are drawn, becomes its mark; then the loop
        /// goes on with the next record. The run ends Gedruckt.
        Weiter,
    };

    /// Called after each record (all its copies) with the record and, going on
    /// past errors, the error it met (null for none), its detail told at the
    /// field being drawn ("Feld BestellNr: ...").
    using SatzFertig = std::function<void(const Datei &artikel, const platform::RuntimeError *fehler)>;

    DateiDruck(platform::Printer &printer, barcode::Code128 &code);

    void setFortschritt(Fortschritt fortschritt) { m_fortschritt = std::move(fortschritt); }
    /// The number of records, when a check has just counted them: the run then
    /// does not read the file an extra time for its progress.
    void setGesamt(qint64 gesamt) { m_gesamt = gesamt; }
    /// Short notes by line of the file: the label (or list row) of each such
    /// record gets a red frame and its note, drawn over it. For the preview,
    /// which shows the check's findings where they will print.
    /// Going on past errors, a record that fails is marked too, with its error's note.
    void setMarken(QHash<qint64, QString> marken)
    {
        m_marken = std::move(marken);
        m_markieren = true;
    }
    void setBeiFehler(BeiFehler beiFehler) { m_beiFehler = beiFehler; }
    void setSatzFertig(SatzFertig satzFertig) { m_satzFertig = std::move(satzFertig); }

    /// The run of kind \a art over \a datei.
    Ergebnis Drucken(Art art, const QString &datei, const Auswahl &auswahl);
    /// Every record of \a datei as a label on its own page, kopien times.
    Ergebnis LabelDrucken(const QString &datei, const Auswahl &auswahl);
    /// Every record of \a datei kopien times on laser sheets, from the start label on.
    Ergebnis LaserDrucken(const QString &datei, const Auswahl &auswahl);
    /// Every record of \a datei as a row of the barcode list, DateiListe::ZeilenJeSeite to a page.
    Ergebnis ListeDrucken(const QString &datei, const Auswahl &auswahl);
    /// The test label with its fixed sample record, at (0, 0).
    Ergebnis ProbeDrucken(const Auswahl &auswahl);

private:
    class Abbruch;

    /// Refuses the label of \a artikel (error 482) where it does not fit the
    /// label printer's media, and lays it across the media where it fits so.
    void passtAufsEtikett(const sheets::Artikel &artikel, const sheets::ArtikelWahl &wahl);
    qint64 gesamt(const QString &datei) const;
    void fortschritt(qint64 erledigt, qint64 gesamt);
    Ergebnis ausfuehren(const QString &datei, const QString &erfolg, const std::function<void()> &lauf);
    /// The record loop: every record left in \a artikel, \a kopien times, through \a layout.
    void saetze(Datei &artikel, sheets::DateiLayout &layout, const Auswahl &auswahl, int kopien, qint64 alle,
                const std::function<void()> &vorher = {});
    /// A red frame round \a box and \a notiz at \a notizPunkt, over what is drawn there.
    void markieren(const QRect &box, const QPoint &notizPunkt, const QString &notiz);

    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    Fortschritt m_fortschritt;
    std::optional<qint64> m_gesamt;
    QHash<qint64, QString> m_marken;
    bool m_markieren = false;
    BeiFehler m_beiFehler = BeiFehler::Abbrechen;
    SatzFertig m_satzFertig;
};

} // namespace tarvel::runs
