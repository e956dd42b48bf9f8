#pragma once

#include "sheets/LaserLabels.h"
#include "sheets/SheetPlace.h"

#include <QStringList>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::sheets {

/// Address labels on the 24-label sheets (3 columns of 8): five lines a label,
/// one of them large and bold, each cut to the label's width. No offsets, no
/// barcode. The place carries over from call to call, also across jobs.
class AdressLabels
{
public:
    explicit AdressLabels(platform::Printer &printer);

    /// Place (1 to 24, down the columns) of the next label; 0 acts as 1, 25 as 1.
    /// A negative place is error 5 and changes nothing.
    void setStartPosition(qint16 Pos);
    /// The first free place of the current sheet (SheetPlace::firstFree).
    qint32 firstFree() const { return m_place.firstFree(); }

    /// Prints lines 0 to 4 of \a Zeile, line \a FettZeile in 14 point bold
    /// after an empty line (no bold line when it is outside 0 to 4). Each line
    /// is cut to 3500 twips in its own font. Returns \a Zeile as printed: lines
    /// 0 to 4 cut where they were too wide, further lines unchanged. The
    /// caller's lines are never changed. Fewer than five lines are error 9,
    /// before anything is drawn and before the place is used.
    QStringList Drucke(qint16 FettZeile, QStringList Zeile);

    /// The sheets of LaserLabels; the first line stands 250 twips higher.
    static constexpr SheetGrid Grid = LaserLabels::Grid.withTop(450);
    static constexpr qint32 Lines = 5;
    static constexpr double LineWidth = 3500;

private:
    platform::Printer &m_printer;
    SheetPlace m_place;
};

} // namespace tarvel::sheets
