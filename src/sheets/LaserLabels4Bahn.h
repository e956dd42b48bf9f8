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

/// Small article labels on four-lane stock: 4 lanes of 12, 48 places a page,
/// numbered down the lanes. The row pitch grows by `Abstand4Bahn`. The place
/// carries over from call to call, also across jobs.
class LaserLabels4Bahn
{
public:
    LaserLabels4Bahn(platform::Printer &printer, barcode::Code128 &code);

    /// Place (1 to 48, down the lanes) of the next label; 0 acts as 1, 49 as 1.
    /// A negative place is error 5 and changes nothing.
    void setStartPosition(qint16 Pos);

    /// Prints one label. \a OffsetX moves it down, \a OffsetY to the right, and
    /// \a Abstand4Bahn is added to the row pitch (twips). The match code is
    /// printed cut to 2540 twips; the caller's text stays whole.
    void Drucke(qint32 OffsetX, qint32 OffsetY, qint32 Abstand4Bahn, const QString &ArtikelNr, const QString &ISBN,
                const QString &MatchCode, const QString &Preis1, const QString &Preis2);

    /// 4 lanes of 12 labels, 2740 twips across and 1210 down before
    /// Abstand4Bahn, the first at (540, 1250).
    static constexpr SheetGrid Grid{12, 4, 2740, 1210, 540, 1250};

private:
    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    SheetPlace m_place;
};

} // namespace tarvel::sheets
