#include "sheets/AdressLabels.h"

#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/LabelClip.h"
#include "sheets/TextCut.h"

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;

AdressLabels::AdressLabels(Printer &printer)
    : m_printer(printer), m_place(Grid, QStringLiteral("AdressLabels"))
{
}

void AdressLabels::setStartPosition(qint16 Pos)
{
    m_place.setStartPosition(Pos);
}

QStringList AdressLabels::Drucke(qint16 FettZeile, QStringList Zeile)
{
    if (Zeile.size() < Lines)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                           QStringLiteral("AdressLabels.Drucke: %1 Zeilen übergeben, gebraucht werden die Zeilen 0 bis 4")
                               .arg(Zeile.size()));
    const qint32 y0 = m_place.top();
    const qint32 x0 = m_place.left();
    // The place is used up before drawing: a label that fails still takes it.
    const bool sheetFull = m_place.beginLabel(m_printer);

    auto &p = m_printer;
    LabelClip clip(p, x0, y0, Grid.pitchX, Grid.pitchY);
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    p.setCurrentY(y0);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.setFontBold(false);
    p.Print();
    for (qsizetype i = 0; i < Lines; ++i) {
        if (i == FettZeile) {
            p.Print();
            p.setFontSize(14);
            p.setFontBold(true);
        } else {
            p.setFontSize(10);
            p.setFontBold(false);
        }
        p.setCurrentX(x0);
        Zeile[i] = TextCut::toWidth(p, Zeile[i], LineWidth);
        p.Print(Zeile[i]);
    }
    m_place.endLabel(p, sheetFull);
    return Zeile;
}

} // namespace tarvel::sheets
