#include "sheets/LaserLabels4Bahn.h"

#include "barcode/Code128.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/TextCut.h"

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;
using platform::Numbers::add32;
using platform::Numbers::mul32;

LaserLabels4Bahn::LaserLabels4Bahn(Printer &printer, barcode::Code128 &code)
    : m_printer(printer), m_code(code), m_place(Rows, Lanes, QStringLiteral("LaserLabels4Bahn"))
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
        y0 = add32(mul32(m_place.row(), add32(Abstand4Bahn, PitchY)), add32(OffsetX, Top));
        x0 = add32(mul32(m_place.column(), PitchX), add32(OffsetY, Left));
    } catch (const RuntimeError &e) {
        throw e.withDetail(
            QStringLiteral("(LaserLabels4Bahn: Etikettenposition mit OffsetX %1, OffsetY %2, Abstand4Bahn %3)")
                .arg(OffsetX)
                .arg(OffsetY)
                .arg(Abstand4Bahn));
    }
    // The place is used up before drawing: a label that fails still takes it.
    const bool pageFull = m_place.advance();

    auto &p = m_printer;
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    p.setCurrentY(y0);
    p.setCurrentX(x0);
    m_code.Drucke(p, ArtikelNr, 300);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    // Number and match code are regular, whatever the previous label left on.
    p.setFontBold(false);
    p.setCurrentY(add32(y0, 300));
    p.setCurrentX(x0);
    p.PrintInline(ArtikelNr);
    p.PrintInline(QStringLiteral("   "));
    p.Print(ISBN);
    p.setCurrentX(x0);
    p.Print(TextCut::toWidth(p, MatchCode, MatchCodeWidth));
    p.setFontSize(10);
    p.setFontBold(false);
    p.setCurrentX(x0);
    p.PrintInline(Preis1);
    p.setCurrentX(add32(x0, 1370));
    p.Print(Preis2);
    if (pageFull)
        p.NewPage();
}

} // namespace tarvel::sheets
