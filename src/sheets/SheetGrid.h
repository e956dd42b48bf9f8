#pragma once

#include <QtGlobal>

namespace tarvel::sheets {

/// The places of a label sheet in twips from the top-left corner of the
/// printable area: rows × columns labels, the pitch across and down, and the
/// corner of the first label.
struct SheetGrid
{
    qint32 rows;
    qint32 columns;
    qint32 pitchX;
    qint32 pitchY;
    qint32 left;
    qint32 top;

    constexpr qint32 places() const { return rows * columns; }
    /// The same sheet with its first label at \a newTop.
    constexpr SheetGrid withTop(qint32 newTop) const
    {
        SheetGrid grid = *this;
        grid.top = newTop;
        return grid;
    }
};

} // namespace tarvel::sheets
