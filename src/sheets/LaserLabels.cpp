#include "sheets/LaserLabels.h"

#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/LaserLabel.h"

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;

namespace {

constexpr LaserLabel::Style Style{
    .barHeight = 680,
    .numberDown = 710,
    .numberSize = 10,
    .numberBold = true,
    .blanks = 5,
    .matchCodeWidth = 0,
    .priceSize = 14,
    .priceBold = true,
    .priceGap = 50,
    .secondPrice = 1850,
    .width = LaserLabels::Grid.pitchX,
    .height = LaserLabels::Grid.pitchY,
};

} // namespace

LaserLabels::LaserLabels(Printer &printer, barcode::Code128 &code)
    : m_printer(printer), m_code(code), m_place(Grid, QStringLiteral("LaserLabels"))
{
}

void LaserLabels::setStartPosition(qint16 Pos)
{
    m_place.setStartPosition(Pos);
}

void LaserLabels::Drucke(qint32 OffsetX, qint32 OffsetY, const QString &ArtikelNr, const QString &ISBN,
                         const QString &MatchCode, const QString &Preis1, const QString &Preis2)
{
    qint32 x0 = 0, y0 = 0;
    try {
        y0 = m_place.top(OffsetX);
        x0 = m_place.left(OffsetY);
    } catch (RuntimeError &e) {
        e.note(QStringLiteral("LaserLabels: Etikettenposition mit OffsetX %1, OffsetY %2").arg(OffsetX).arg(OffsetY));
        throw;
    }
    // The place is used up before drawing: a label that fails still takes it.
    const bool sheetFull = m_place.beginLabel(m_printer);
    LaserLabel::print(m_printer, m_code, Style, x0, y0, ArtikelNr, ISBN, MatchCode, Preis1, Preis2);
    m_place.endLabel(m_printer, sheetFull);
}

} // namespace tarvel::sheets
