#pragma once

#include "sheets/Artikel.h"

#include <QString>

namespace tarvel::sheets {

/// What the main window's layouts print of a record besides its fixed lines:
/// the prices, the currency after them and the storage bin.
struct ArtikelWahl
{
    Preis preis1 = Preis::Leer; ///< the labels' price, the list's first price
    Preis preis2 = Preis::Leer; ///< the list's second price
    QString waehrung;           ///< currency text printed after each price
    bool lagerfach = false;     ///< print the storage-bin line
};

} // namespace tarvel::sheets
