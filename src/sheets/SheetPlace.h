#pragma once

#include "sheets/SheetGrid.h"

#include <QString>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::sheets {

/// The place of the next label on a sheet. Places are numbered from 1 down the
/// columns: 1 is the top of column 0, rows + 1 the top of column 1. The place
/// outlives pages and jobs; only StartPosition and the advance of a print
/// change it.
class SheetPlace
{
public:
    SheetPlace(const SheetGrid &grid, QString owner);

    /// Refuses a negative start position with error 5, naming \a owner. Callers
    /// that hand one position to several sheets check it once before any of them.
    static void checkStartPosition(qint16 pos, const QString &owner = QStringLiteral("StartPosition"));

    /// Moves to place \a pos; 0 acts as 1, and numbers past the sheet wrap
    /// (25 on a sheet of 24 acts as 1). Negative numbers are error 5, and the
    /// place stays as it was.
    void setStartPosition(qint16 pos);


    /// Top edge of the label at this place, moved down by \a down, with the row
    /// pitch grown by \a extraPitchY; error 6 when it leaves 32 bits.
    qint32 top(qint32 down = 0, qint32 extraPitchY = 0) const;
    /// Left edge of the label at this place, moved right by \a right; error 6
    /// when it leaves 32 bits.
    qint32 left(qint32 right = 0) const;

    /// Moves on to the next place, down the column and then to the next column.
    /// Returns true when the place left was the last of the sheet (the next
    /// label starts a new sheet at place 1).
    bool advance();

    /// Takes this place for a label and moves on (advance). A label that failed
    /// on the last place of the sheet ended no page: the sheet is full all the
    /// same, so its page ends here first. True when this label takes the last place.
    bool beginLabel(platform::Printer &printer);
    /// After a label that printed: ends the page when it took the last place.
    void endLabel(platform::Printer &printer, bool lastPlace);

    /// The number of the first free place of the sheet, 1 to rows × columns;
    /// one past the last while a full sheet's page has not ended.
    qint32 firstFree() const { return m_sheetFull ? m_grid.places() + 1 : m_column * m_grid.rows + m_row + 1; }

private:
    SheetGrid m_grid;
    QString m_owner;
    qint32 m_row = 0;
    qint32 m_column = 0;
    bool m_sheetFull = false; ///< the last place was taken, its page not yet ended
};

} // namespace tarvel::sheets
