#include "sheets/ListPage.h"

#include "barcode/Code128.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "sheets/LabelClip.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace tarvel::sheets::ListPage {

using platform::Printer;

QString title(const QDate &date)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return QStringLiteral("Barcode-Liste vom ") + locale.toString(date, format);
}

void printHeader(Printer &p, qint64 page, const QDate &date)
{
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.setFontItalic(true);
    p.setFontBold(false);
    p.setForeColor(Printer::QBColor(1));
    p.setCurrentY(300);
    p.setCurrentX(500);
    p.PrintInline(title(date));
    p.setCurrentX(BarsX);
    p.PrintInline(QStringLiteral("Seite "));
    p.Print(Printer::NumberItem(page));
}

qint32 barRoom(Printer &printer)
{
    return qint32(printer.ScaleWidth()) - BarsX;
}

qint32 barsQuietZoneLeft(const barcode::Code128 &code)
{
    return BarsX - qint32(std::ceil(code.quietZone()));
}

void printBars(Printer &p, barcode::Code128 &code, qint32 y, const QString &number)
{
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    const qint32 room = barRoom(p);
    // Bars too wide for the page end short of its edge by their quiet zone (a clip costs a printer
    // much, so only they get one).
    std::optional<LabelClip> clip;
    if (!code.fits(number, room))
        clip.emplace(p, BarsX, y, std::max(room - qint32(std::floor(code.quietZone())), 1), 680);
    p.setCurrentY(y);
    p.setCurrentX(BarsX);
    code.Drucke(p, number, 680, room);
}

void printNumber(Printer &p, qint32 y, const QString &number)
{
    p.setFontSize(10);
    p.setFontBold(true);
    const qint32 top = platform::Numbers::add32(y, 750);
    std::optional<LabelClip> clip;
    if (p.TextWidth(number) > barRoom(p))
        clip.emplace(p, BarsX, top, std::max(barRoom(p), 1), qint32(std::ceil(p.TextHeight())));
    p.setCurrentY(top);
    p.setCurrentX(BarsX);
    p.Print(number);
}

} // namespace tarvel::sheets::ListPage
