#pragma once

#include <QString>

namespace tarvel::runs {

/// The choices of the main window that the settings store keeps (application
/// "Tarvel", section "System"): the two prices, the kind of run and the file.
/// The window reads and writes them; the command line only reads them. A
/// stored value that is no valid index counts as absent and is logged.
class GespeicherteWahl
{
public:
    /// The kinds of run, by the index stored as "Art".
    enum Art { Liste = 0, Label = 1, Laser = 2 };
    /// The price choices, by the index stored as "Preis1" and "Preis2".
    enum Preis { EK = 0, VK = 1, Listenpreis = 2, Leer = 3 };

    static int preis1();  ///< "Preis1", 0 to 3; default 3 (leer)
    static int preis2();  ///< "Preis2", 0 to 3; default 3 (leer)
    static int art();     ///< "Art", 0 to 2; default 0 (Liste)
    static QString datei(); ///< "Datei"; empty when none was chosen

    static void setPreis1(int index);
    static void setPreis2(int index);
    static void setArt(int index);
    static void setDatei(const QString &datei);
};

} // namespace tarvel::runs
