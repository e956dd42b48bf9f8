#pragma once

#include "runs/Befund.h"
#include "runs/DateiDruck.h"

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::runs {

class Datei;

/// The check before printing: reads an article file once and finds, for the
/// run that is to print it, everything that would print wrong. Errors (a
/// barcode that cannot be encoded, or is too wide for its place even in code
/// set C) stop the run; warnings (a line with extra fields, a price that is no
/// number, another separator than ";", a text cut at its label's edge) stop it
/// unless the user prints all the same. Draws nothing.
class Pruefung
{
public:
    /// \a printer and \a code as the run will print: the bar width InitBreite
    /// set, and the printer whose fonts and page measure the places.
    Pruefung(platform::Printer &printer, const barcode::Code128 &code);

    /// Every finding of \a datei for the run \a art with \a auswahl, in the
    /// order of the lines. A file that cannot be opened or read gives no
    /// finding: the run itself names that fault.
    Befunde pruefen(Art art, const QString &datei, const sheets::ArtikelWahl &auswahl);

    /// Records read by the last pruefen.
    qint64 saetze() const { return m_saetze; }

    static bool hatFehler(const Befunde &befunde);
    /// The report: a line naming the file and how many errors and warnings it
    /// holds, then one line a finding.
    static QString bericht(const Befunde &befunde, const QString &datei);

    /// Whether \a text reads as a price: digits with "." or "," ("1.234,50",
    /// "12.95", "12,-"), a sign before them allowed, blanks around them too.
    static bool istPreis(QStringView text);

private:
    void zeilePruefen(Art art, const Datei &artikel, const sheets::ArtikelWahl &auswahl, Befunde &befunde);
    void barcodePruefen(Art art, const Datei &artikel, Befunde &befunde);
    void textePruefen(Art art, const Datei &artikel, const sheets::ArtikelWahl &auswahl, Befunde &befunde);

    platform::Printer &m_printer;
    const barcode::Code128 &m_code;
    qint64 m_saetze = 0;
};

} // namespace tarvel::runs
