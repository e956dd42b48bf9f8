#include "sheets/LaserLabel.h"

#include "barcode/Code128.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "sheets/LabelClip.h"
#include "sheets/TextCut.h"

#include <algorithm>
#include <cmath>

namespace tarvel::sheets::LaserLabel {

using platform::Printer;
using platform::Numbers::add32;

void print(Printer &p, barcode::Code128 &code, const Style &style, qint32 x0, qint32 y0, const QString &ArtikelNr,
           const QString &ISBN, const QString &MatchCode, const QString &Preis1, const QString &Preis2,
           bool nachbarRechts)
{
    // The label's place, short of the quiet zone of the bars of a label on its right and of the page's edge.
    const qint32 rand = std::min<qint32>(style.width - (nachbarRechts ? qint32(std::ceil(code.quietZone())) : 0),
                                         qint32(p.ScaleWidth()) - x0);
    LabelClip clip(p, x0, y0, std::max(rand, 1), style.height);
    // Colour and slant are set on every label: the list's header leaves blue italics behind.
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    p.setCurrentY(y0);
    p.setCurrentX(x0);
    const qint32 platz = std::min<qint32>(style.width, qint32(p.ScaleWidth()) - x0);
    code.Drucke(p, ArtikelNr, style.barHeight, platz);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(style.numberSize);
    p.setFontBold(style.numberBold);
    p.setCurrentY(add32(y0, style.numberDown));
    p.setCurrentX(x0);
    p.PrintInline(ArtikelNr);
    p.PrintInline(QString(style.blanks, u' '));
    p.setFontSize(8);
    p.setFontBold(false);
    p.Print(ISBN);
    p.setCurrentX(x0);
    p.Print(style.matchCodeWidth > 0 ? TextCut::toWidth(p, MatchCode, style.matchCodeWidth) : MatchCode);
    p.setFontSize(style.priceSize);
    p.setFontBold(style.priceBold);
    p.setCurrentY(p.CurrentY() + style.priceGap);
    p.setCurrentX(x0);
    p.PrintInline(Preis1);
    p.setCurrentX(add32(x0, style.secondPrice));
    p.Print(Preis2);
}

} // namespace tarvel::sheets::LaserLabel
