#include "sheets/SheetPlace.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

namespace tarvel::sheets {

using platform::RuntimeError;
using platform::Numbers::add32;
using platform::Numbers::mul32;

SheetPlace::SheetPlace(const SheetGrid &grid, QString owner) : m_grid(grid), m_owner(std::move(owner)) {}

void SheetPlace::checkStartPosition(qint16 pos, const QString &owner)
{
    if (pos < 0)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("%1 %2: erlaubt sind Etikettenpositionen ab 1, 0 gilt als 1")
                               .arg(owner)
                               .arg(pos));
}

void SheetPlace::setStartPosition(qint16 pos)
{
    checkStartPosition(pos, m_owner + QStringLiteral(".StartPosition"));
    const qint32 p = (qMax<qint32>(pos, 1) - 1) % m_grid.places();
    m_column = p / m_grid.rows;
    m_row = p % m_grid.rows;
}

qint32 SheetPlace::top(qint32 down, qint32 extraPitchY) const
{
    return add32(mul32(m_row, add32(extraPitchY, m_grid.pitchY)), add32(down, m_grid.top));
}

qint32 SheetPlace::left(qint32 right) const
{
    return add32(mul32(m_column, m_grid.pitchX), add32(right, m_grid.left));
}

bool SheetPlace::advance()
{
    if (m_row < m_grid.rows - 1) {
        ++m_row;
        return false;
    }
    m_row = 0;
    if (m_column < m_grid.columns - 1) {
        ++m_column;
        return false;
    }
    m_column = 0;
    return true;
}

bool SheetPlace::beginLabel(platform::Printer &printer)
{
    if (m_sheetFull && printer.pageHasOutput())
        printer.NewPage();
    const bool last = advance();
    m_sheetFull = m_sheetFull || last;
    return last;
}

void SheetPlace::endLabel(platform::Printer &printer, bool lastPlace)
{
    if (lastPlace)
        printer.NewPage();
    m_sheetFull = false;
}

} // namespace tarvel::sheets
