#pragma once

#include "runs/Befund.h"
#include "runs/DateiDruck.h"

#include <QString>

namespace tarvel::platform {
class Printer;
struct MeasuredItem;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::runs {

class Datei;

/// The check before printing: runs the run that is to print an article file
/// on the measuring surface, with its real layouts, and reads what they drew.
/// Errors (a barcode that cannot be encoded, or is too wide for its place)
/// stop the run; warnings (a line with extra fields, a price that is no
/// number, another separator than ";") stop it unless the user prints all the
/// same; notes (a text cut at the edge of its label or column, as the page
/// will show it) never stop it. Prints nothing.
class Pruefung
{
public:
    /// \a printer and \a code as the run will print: the bar width InitBreite
    /// set, and the printer whose resolution and page the layouts meet.
    Pruefung(platform::Printer &printer, const barcode::Code128 &code);

    /// Every finding of \a datei for the run \a art with \a auswahl, in the
    /// order of the lines (every record, whatever page range is chosen). A
    /// file that cannot be opened or read gives no finding: the run itself
    /// names that fault.
    Befunde pruefen(Art art, const QString &datei, const DateiDruck::Auswahl &auswahl);

    /// Records read by the last pruefen.
    qint64 saetze() const { return m_saetze; }

    static bool hatFehler(const Befunde &befunde);
    /// Whether anything but notes was found: the window asks, the batch stops.
    static bool hatWarnungen(const Befunde &befunde);
    /// The report: a line naming the file and how many errors and warnings it
    /// holds, then one line for each of them, then the notes in one line.
    static QString bericht(const Befunde &befunde, const QString &datei);
    /// The notes of \a befunde in one line ("3 Texte werden am Rand
    /// abgeschnitten: Zeile 1 KurzText1, ..."); empty for none.
    static QString hinweisZeile(const Befunde &befunde);

    /// Whether \a text reads as a price: digits with "." or "," ("1.234,50",
    /// "12.95", "12,-"), a sign before them allowed, blanks around them too.
    static bool istPreis(QStringView text);

private:
    void datenPruefen(const Datei &artikel, Befunde &befunde);
    void gemessen(const QList<platform::MeasuredItem> &items, const Datei &artikel, const barcode::Code128 &code,
                  Befunde &befunde);

    platform::Printer &m_printer;
    const barcode::Code128 &m_code;
    qint64 m_saetze = 0;
};

} // namespace tarvel::runs
