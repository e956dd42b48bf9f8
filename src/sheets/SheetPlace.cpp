#include "sheets/SheetPlace.h"

#include "platform/RuntimeError.h"

namespace tarvel::sheets {

using platform::RuntimeError;

SheetPlace::SheetPlace(qint32 rows, qint32 columns, QString owner)
    : m_rows(rows), m_columns(columns), m_owner(std::move(owner))
{
}

void SheetPlace::checkStartPosition(qint16 pos, const QString &owner)
{
    if (pos < 0)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("(%1 %2: erlaubt sind Etikettenpositionen ab 1, 0 gilt als 1)")
                               .arg(owner)
                               .arg(pos));
}

void SheetPlace::setStartPosition(qint16 pos)
{
    checkStartPosition(pos, m_owner + QStringLiteral(".StartPosition"));
    const qint32 p = (qMax<qint32>(pos, 1) - 1) % (m_rows * m_columns);
    m_column = p / m_rows;
    m_row = p % m_rows;
}

bool SheetPlace::advance()
{
    if (m_row < m_rows - 1) {
        ++m_row;
        return false;
    }
    m_row = 0;
    if (m_column < m_columns - 1) {
        ++m_column;
        return false;
    }
    m_column = 0;
    return true;
}

} // namespace tarvel::sheets
