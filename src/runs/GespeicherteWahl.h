#pragma once

#include "runs/DateiDruck.h"
#include "sheets/Artikel.h"

#include <QString>

namespace tarvel::runs {

/// The choices of the main window that the settings store keeps (application
/// "Tarvel", section "System"): the two prices, the kind of run and the file.
/// The window reads and writes them; the command line only reads them. A
/// stored value that is no valid index counts as absent and is logged.
class GespeicherteWahl
{
public:
    static sheets::Preis preis1(); ///< "Preis1"; default leer
    static sheets::Preis preis2(); ///< "Preis2"; default leer
    static Art art();              ///< "Art"; default Liste
    static QString datei();        ///< "Datei"; empty when none was chosen

    static void setPreis1(sheets::Preis preis);
    static void setPreis2(sheets::Preis preis);
    static void setArt(Art art);
    static void setDatei(const QString &datei);
};

} // namespace tarvel::runs
