#pragma once

#include "platform/RuntimeError.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::runs {

class Datei;

/// The print runs over an article file: labels on the label printer, laser
/// sheets of two columns by eight rows, and the barcode list, plus the test
/// label. Free of windows, so the main window and a batch run share them.
/// Each run ends its own job; a run that fails or is cancelled cancels it, so
/// nothing of it is printed. The bar width is the one the caller set on the
/// Code128 object with InitBreite.
class DateiDruck
{
public:
    /// The choices a run prints with, as the main window offers them.
    struct Auswahl
    {
        int preis1 = 3;               ///< first price: 0 EK, 1 VK, 2 Listenpreis, 3 none
        int preis2 = 3;               ///< second price (list only), same indexes
        QString waehrung;             ///< currency text printed after each price
        bool lagerfach = false;       ///< print the storage-bin line
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

    DateiDruck(platform::Printer &printer, barcode::Code128 &code);

    void setFortschritt(Fortschritt fortschritt) { m_fortschritt = std::move(fortschritt); }

    /// Every record of \a datei as a label on its own page, kopien times.
    Ergebnis LabelDrucken(const QString &datei, const Auswahl &auswahl);
    /// Every record of \a datei kopien times on laser sheets, from the start label on.
    Ergebnis LaserDrucken(const QString &datei, const Auswahl &auswahl);
    /// Every record of \a datei as a row of the barcode list, twelve to a page.
    Ergebnis ListeDrucken(const QString &datei, const Auswahl &auswahl);
    /// The test label with its fixed sample record, at (0, 0).
    Ergebnis ProbeDrucken(const Auswahl &auswahl);

    /// Draws one label of \a artikel with its top-left corner at (x, y). Neither
    /// starts nor ends a page. Errors are raised to the caller.
    void DateiLabel(const Datei &artikel, const Auswahl &auswahl, qint32 x, qint32 y);

    /// Fills \a artikel with the sample record of the test label.
    static void probeArtikel(Datei &artikel);
    /// The text a message box shows for a failed run.
    static QString fehlerText(const platform::RuntimeError &fehler);

    static constexpr int ZeilenAbstand = 1200;   ///< list: distance of the rows
    static constexpr int ErsteZeile = 900;       ///< list: top of the first row
    static constexpr int LetzteZeileAb = 13000;  ///< list: a row from here on ends the page
    static constexpr int LaserSpalte = 6000;
    static constexpr int LaserReihe = 1930;

private:
    class Abbruch;

    void PreisZeile(int gruppe, const Datei &artikel, const Auswahl &auswahl);
    void Seitenkopf(int &seite, const QDate &datum);
    void ListenZeile(const Datei &artikel, const Auswahl &auswahl, qint32 y);
    qint64 gesamt(const QString &datei) const;
    void fortschritt(qint64 erledigt, qint64 gesamt);
    Ergebnis ausfuehren(const QString &datei, const QString &erfolg, const std::function<void()> &lauf);
    platform::RuntimeError imSatz(const platform::RuntimeError &fehler, const Datei &artikel) const;

    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    Fortschritt m_fortschritt;
    QString m_feld; ///< what is being drawn ("Feld BestellNr"), for error messages
};

} // namespace tarvel::runs
