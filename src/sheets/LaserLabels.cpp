#include "sheets/LaserLabels.h"

#include "barcode/Code128.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;
using platform::Numbers::add32;
using platform::Numbers::mul32;

LaserLabels::LaserLabels(Printer &printer, barcode::Code128 &code)
    : m_printer(printer), m_code(code), m_place(Rows, Columns, QStringLiteral("LaserLabels"))
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
        y0 = add32(mul32(m_place.row(), PitchY), add32(OffsetX, Top));
        x0 = add32(mul32(m_place.column(), PitchX), add32(OffsetY, Left));
    } catch (const RuntimeError &e) {
        throw e.withDetail(QStringLiteral("(LaserLabels: Etikettenposition mit OffsetX %1, OffsetY %2)")
                               .arg(OffsetX)
                               .arg(OffsetY));
    }
    // The place is used up before drawing: a label that fails still takes it.
    const bool sheetFull = m_place.advance();

    auto &p = m_printer;
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    p.setCurrentY(y0);
    p.setCurrentX(x0);
    m_code.Drucke(p, ArtikelNr, 680);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.setFontBold(true);
    p.setCurrentY(add32(y0, 710));
    p.setCurrentX(x0);
    p.PrintInline(ArtikelNr);
    p.PrintInline(QStringLiteral("     "));
    p.setFontSize(8);
    p.setFontBold(false);
    p.Print(ISBN);
    p.setCurrentX(x0);
    p.Print(MatchCode);
    p.setFontSize(14);
    p.setFontBold(true);
    p.setCurrentY(p.CurrentY() + 50);
    p.setCurrentX(x0);
    p.PrintInline(Preis1);
    p.setCurrentX(add32(x0, 1850));
    p.Print(Preis2);
    if (sheetFull)
        p.NewPage();
}

} // namespace tarvel::sheets
