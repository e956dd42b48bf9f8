#include "barcode/Code128.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

namespace tarvel::barcode {

using platform::Numbers::roundHalfEven;
using platform::Numbers::toInt16;
using platform::Numbers::toInt32;
using platform::Printer;
using platform::RuntimeError;

namespace {
// Widths of bar, space, bar, ... per symbol value, from the Code 128 symbol table.
constexpr const char *Patterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};
} // namespace

Code128::Code128()
{
    for (int v = 0; v < 107; ++v)
        m_table[v] = QString::fromLatin1(Patterns[v]);
}

QString Code128::pattern(int value) const
{
    if (value < 0 || value > 128)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange);
    return m_table[value];
}

double Code128::InitBreite(Printer &printer, qint16 Breite)
{
    printer.setFillColor(Qt::black);
    printer.setFillStyle(Printer::Solid);
    printer.setDrawStyle(Printer::Solid);
    printer.setForeColor(Qt::black);
    const double tppx = printer.TwipsPerPixelX();
    const qint16 pixels = Breite == 0 ? toInt16((4000.0 / 200.0) / tppx) : Breite;
    printer.setDrawWidth(pixels);
    m_modulePixels = pixels;
    m_moduleWidth = pixels * tppx;
    return (FieldWidth - tppx * 35.0) / m_moduleWidth / 11.0;
}

QList<int> Code128::symbolValues(const QString &Text) const
{
    QList<int> values;
    values.reserve(Text.size() + 3);
    values.append(StartB);
    qint32 check = StartB;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t code = Text[i].unicode();
        const int position = int(i) + 1;
        if (code < 32)
            throw RuntimeError(RuntimeError::Overflow,
                               QStringLiteral("(Zeichen %1 an Stelle %2 kann nicht im Barcode stehen)")
                                   .arg(int(code)).arg(position));
        if (code > 127)
            throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                               QStringLiteral("(Zeichen \"%1\" an Stelle %2 kann nicht im Barcode stehen)")
                                   .arg(QString(Text[i])).arg(position));
        const int value = code - 32;
        const qint32 product = value * position;
        if (product > 32767)
            throw RuntimeError(RuntimeError::Overflow,
                               QStringLiteral("(Text zu lang für den Barcode: Stelle %1)").arg(position));
        values.append(value);
        check += product;
    }
    values.append(check % 103);
    values.append(Stop);
    return values;
}

void Code128::drawSymbol(Printer &printer, int value, qint32 &x, qint32 y, qint16 h)
{
    const QString &widths = m_table[value];
    const bool penWide = printer.DrawWidth() > 1;
    const double tppx = printer.TwipsPerPixelX();
    for (qsizetype place = 0; place < widths.size(); ++place) {
        const int w = widths[place].unicode() - u'0';
        if (place % 2 == 0) {
            for (int n = 0; n < w; ++n) {
                if (penWide) {
                    printer.Line(x, y, 0, h);
                    x = toInt32(x + m_moduleWidth);
                } else {
                    for (int p = 0; p < m_modulePixels; ++p) {
                        printer.Line(x, y, 0, h);
                        x = toInt32(x + tppx);
                    }
                }
            }
        } else {
            x = toInt32(x + w * m_moduleWidth);
        }
    }
}

void Code128::Drucke(Printer &printer, const QString &Text, qint16 Hoehe)
{
    // Encode first: a text the barcode cannot carry leaves no half barcode behind.
    const QList<int> values = symbolValues(Text);
    qint32 x = toInt32(printer.CurrentX());
    const qint32 y = toInt32(printer.CurrentY());
    for (int v : values)
        drawSymbol(printer, v, x, y, Hoehe);
}

} // namespace tarvel::barcode
