#include "sheets/LaserLabels4Bahn.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/LaserLabel.h"

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;
using platform::Numbers::add32;

namespace {

constexpr LaserLabel::Style Style{
    .barHeight = 300,
    .numberDown = 300,
    .numberSize = 8,
    .numberBold = false, // whatever the previous label left on
    .blanks = 3,
    .matchCodeWidth = 2540,
    .priceSize = 10,
    .priceBold = false,
    .priceGap = 0,
    .secondPrice = 1370,
    .width = LaserLabels4Bahn::Grid.pitchX,
    .height = LaserLabels4Bahn::Grid.pitchY,
};

} // namespace

LaserLabels4Bahn::LaserLabels4Bahn(Printer &printer, barcode::Code128 &code)
    : m_printer(printer), m_code(code), m_place(Grid, QStringLiteral("LaserLabels4Bahn"))
{
}

void LaserLabels4Bahn::setStartPosition(qint16 Pos)
{
    m_place.setStartPosition(Pos);
}

void LaserLabels4Bahn::Drucke(qint32 OffsetX, qint32 OffsetY, qint32 Abstand4Bahn, const QString &ArtikelNr,
                              const QString &ISBN, const QString &MatchCode, const QString &Preis1,
                              const QString &Preis2)
{
    qint32 x0 = 0, y0 = 0;
    try {
        y0 = m_place.top(OffsetX, Abstand4Bahn);
        x0 = m_place.left(OffsetY);
    } catch (RuntimeError &e) {
        e.note(QStringLiteral("LaserLabels4Bahn: Etikettenposition mit OffsetX %1, OffsetY %2, Abstand4Bahn %3")
                   .arg(OffsetX)
                   .arg(OffsetY)
                   .arg(Abstand4Bahn));
        throw;
    }
    // The place is used up before drawing: a label that fails still takes it.
    const bool pageFull = m_place.beginLabel(m_printer);
    LaserLabel::Style style = Style;
    style.height = add32(style.height, Abstand4Bahn); // the row's place grows with the pitch
    LaserLabel::print(m_printer, m_code, style, x0, y0, ArtikelNr, ISBN, MatchCode, Preis1, Preis2);
    m_place.endLabel(m_printer, pageFull);
}

} // namespace tarvel::sheets
