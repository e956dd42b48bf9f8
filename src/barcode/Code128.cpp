#include "barcode/Code128.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

#include <algorithm>

namespace tarvel::barcode {

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

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// Refuses, before anything is drawn, the first character code set B cannot carry.
/// The limit on value times position keeps the check sum's products in 16 bits, as
/// labels have always had it; it holds for every code set, so a text is refused alike
/// whatever the room.
void checkText(const QString &Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t code = Text[i].unicode();
        const int position = int(i) + 1;
        if (code < 32)
            throw RuntimeError(RuntimeError::Overflow,
                               QStringLiteral("Zeichen %1 an Stelle %2 kann nicht im Barcode stehen")
                                   .arg(int(code)).arg(position));
        if (code > 127)
            throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                               QStringLiteral("Zeichen \"%1\" an Stelle %2 kann nicht im Barcode stehen")
                                   .arg(QString(Text[i])).arg(position));
        if (qint64(code - 32) * position > 32767)
            throw RuntimeError(RuntimeError::Overflow,
                               QStringLiteral("Text zu lang für den Barcode: Stelle %1").arg(position));
    }
}

/// Start B and one symbol a character.
void appendSetB(const QString &Text, QList<int> &values)
{
    values.append(Code128::StartB);
    for (QChar c : Text)
        values.append(c.unicode() - 32);
}

/// The shortest start and data of ISO/IEC 15417's rules for minimising the symbol:
/// a run of digits goes into code set C where that saves symbols, that is a run of
/// 4 or more at the start or the end, of 6 or more in between, or a text of just two
/// digits. Of an odd run, the last digit of a leading run stays in code set B, else
/// the first. Shorter runs stay in set B, so a text without such a run gets set B's symbol.
void appendShortest(const QString &Text, QList<int> &values)
{
    const qsizetype n = Text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype end = std::find_if_not(Text.begin() + i, Text.end(), isDigit) - Text.begin();
        const qsizetype run = end - i;
        const bool atStart = i == 0, atEnd = end == n;
        const bool useC = run >= (atStart || atEnd ? 4 : 6) || (atStart && atEnd && run == 2);
        if (!useC) {
            if (atStart)
                values.append(Code128::StartB);
            const qsizetype upTo = run == 0 ? i + 1 : end; // a run of digits, or one other character
            for (; i < upTo; ++i)
                values.append(Text[i].unicode() - 32);
            continue;
        }
        if (run % 2 == 1 && !atStart)
            values.append(Text[i++].unicode() - 32);
        values.append(atStart ? Code128::StartC : Code128::CodeC);
        for (; i + 1 < end; i += 2)
            values.append((Text[i].unicode() - u'0') * 10 + Text[i + 1].unicode() - u'0');
        if (i < n)
            values.append(Code128::CodeB); // what follows, be it a digit left over, is in set B
        if (i < end)
            values.append(Text[i++].unicode() - 32);
    }
    if (n == 0)
        values.append(Code128::StartB);
}

/// Walks the bars and spaces of one symbol from \a x; each bar module goes to
/// \a barModule, which draws or measures it and returns the X after it.
template<typename BarModule>
qint32 walkSymbol(const QString &widths, qint32 x, double moduleWidth, BarModule &&barModule)
{
    for (qsizetype place = 0; place < widths.size(); ++place) {
        const int w = widths[place].unicode() - u'0';
        if (place % 2 == 0) {
            for (int n = 0; n < w; ++n)
                x = barModule(x);
        } else {
            x = toInt32(x + w * moduleWidth);
        }
    }
    return x;
}

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
    m_twipsPerPixel = tppx;
    m_moduleWidth = pixels * tppx;
    return (FieldWidth - tppx * 35.0) / m_moduleWidth / 11.0;
}

QList<int> Code128::symbolValues(const QString &Text, Zeichensatz satz) const
{
    checkText(Text);
    QList<int> values;
    values.reserve(Text.size() + 3);
    if (satz == Zeichensatz::MitC)
        appendShortest(Text, values);
    else
        appendSetB(Text, values);
    qint64 check = values.front();
    for (qsizetype i = 1; i < values.size(); ++i)
        check += values[i] * i;
    values.append(int(check % 103));
    values.append(Stop);
    return values;
}

int Code128::moduleCount(const QString &Text, Zeichensatz satz) const
{
    return 11 * int(symbolValues(Text, satz).size() - 1) + 13;
}

qint32 Code128::widthTwips(const QString &Text, Zeichensatz satz) const
{
    return measure(symbolValues(Text, satz), m_moduleWidth);
}

qint32 Code128::measure(const QList<int> &values, double moduleWidth) const
{
    qint32 x = 0;
    for (int v : values)
        x = walkSymbol(m_table[v], x, moduleWidth, [moduleWidth](qint32 at) { return toInt32(at + moduleWidth); });
    return x;
}

bool Code128::fitsWith(const QList<int> &values, double moduleWidth, qint32 PlatzTwips) const
{
    // Rounding moves no module by a twip or more: a symbol that fits at a twip more a module fits as
    // measured, so most barcodes need not be walked module by module.
    const double quietZone = QuietZoneModules * moduleWidth;
    const int modules = 11 * int(values.size() - 1) + 13;
    if (modules * (moduleWidth + 1.0) + quietZone <= PlatzTwips)
        return true;
    return measure(values, moduleWidth) + quietZone <= PlatzTwips;
}

Code128::Zeichensatz Code128::satzFuer(const QString &Text, qint32 PlatzTwips) const
{
    return fitsWith(symbolValues(Text), m_moduleWidth, PlatzTwips) ? Zeichensatz::NurB : Zeichensatz::MitC;
}

bool Code128::fits(const QString &Text, qint32 PlatzTwips) const
{
    return fitsWith(symbolValues(Text, satzFuer(Text, PlatzTwips)), m_moduleWidth, PlatzTwips);
}

qint16 Code128::passendeBreite(const QString &Text, qint32 PlatzTwips) const
{
    const QList<int> values = symbolValues(Text, Zeichensatz::MitC);
    qint16 pixels = m_modulePixels;
    while (pixels > 0 && !fitsWith(values, pixels * m_twipsPerPixel, PlatzTwips))
        --pixels;
    return pixels;
}

void Code128::draw(Printer &printer, const QList<int> &values, qint16 Hoehe)
{
    qint32 x = toInt32(printer.CurrentX());
    const qint32 y = toInt32(printer.CurrentY());
    const double tppx = printer.TwipsPerPixelX();
    const int pixels = m_modulePixels;
    const double moduleWidth = m_moduleWidth;
    // A pen as wide as a module draws one line a module; a one-pixel pen fills the module line by line.
    const auto barModule = [&](qint32 at) {
        printer.Line(at, y, 0, Hoehe);
        return toInt32(at + moduleWidth);
    };
    const auto pixelLines = [&](qint32 at) {
        for (int p = 0; p < pixels; ++p) {
            printer.Line(at, y, 0, Hoehe);
            at = toInt32(at + tppx);
        }
        return at;
    };
    const bool penWide = printer.DrawWidth() > 1;
    for (int v : values)
        x = penWide ? walkSymbol(m_table[v], x, moduleWidth, barModule)
                    : walkSymbol(m_table[v], x, moduleWidth, pixelLines);
}

QList<int> Code128::encodeForDrawing(const QString &Text, const qint32 *PlatzTwips) const
{
    try {
        return PlatzTwips ? symbolValues(Text, satzFuer(Text, *PlatzTwips)) : symbolValues(Text);
    } catch (const RuntimeError &) {
        if (m_unmoeglichAuslassen)
            return {};
        throw;
    }
}

void Code128::Drucke(Printer &printer, const QString &Text, qint16 Hoehe)
{
    // Encode first: a text the barcode cannot carry leaves no half barcode behind.
    const QList<int> values = encodeForDrawing(Text, nullptr);
    if (!values.isEmpty())
        draw(printer, values, Hoehe);
}

void Code128::Drucke(Printer &printer, const QString &Text, qint16 Hoehe, qint32 PlatzTwips)
{
    const QList<int> values = encodeForDrawing(Text, &PlatzTwips);
    if (!values.isEmpty())
        draw(printer, values, Hoehe);
}

} // namespace tarvel::barcode
