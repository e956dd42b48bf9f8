#pragma once

#include "sheets/SheetPlace.h"

#include <QString>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// Article labels on laser sheets of 24 (3 columns of 8): one label per call at
/// the next place, a new page right after the last place of a sheet. The place
/// carries over from call to call, also across jobs.
class LaserLabels
{
public:
    LaserLabels(platform::Printer &printer, barcode::Code128 &code);

    /// Place (1 to 24, down the columns) of the next label; 0 acts as 1, 25 as 1.
    /// A negative place is error 5 and changes nothing.
    void setStartPosition(qint16 Pos);
    /// The first free place of the current sheet (SheetPlace::firstFree).
    qint32 firstFree() const { return m_place.firstFree(); }

    /// Prints one label. \a OffsetX moves it down and \a OffsetY to the right
    /// (twips), as the setup dialog's offsets are meant.
    void Drucke(qint32 OffsetX, qint32 OffsetY, const QString &ArtikelNr, const QString &ISBN,
                const QString &MatchCode, const QString &Preis1, const QString &Preis2);

    /// 3 columns of 8 labels, 3700 twips across and 1930 down, the first at (310, 700).
    static constexpr SheetGrid Grid{8, 3, 3700, 1930, 310, 700};

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    SheetPlace m_place;
};

} // namespace tarvel::sheets
