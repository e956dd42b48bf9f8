#pragma once

#include <QString>

class QDate;

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::sheets {

/// The page frame both barcode lists share, the automation object's Liste and
/// the main window's DateiListe: the header line with the date and the page
/// number, the grid of twelve rows a page, and the barcode of each row with its
/// number under the bars.
namespace ListPage {

constexpr qint32 FirstRow = 900;
constexpr qint32 RowPitch = 1200;
constexpr qint32 LastRowFrom = 13000; ///< a row starting here or below ends the page
constexpr int RowsPerPage = (LastRowFrom - FirstRow + RowPitch - 1) / RowPitch + 1; ///< twelve: the last starts at or below LastRowFrom
constexpr qint32 TextX = 500;          ///< the rows' left text column
constexpr qint32 SecondX = 3500;       ///< the second text column of a row
constexpr qint32 BarsX = 5500;         ///< the barcode column

/// The room of a row's barcode: up to the printable area's right edge.
qint32 barRoom(platform::Printer &printer);

/// Where the quiet zone left of a row's bars begins, at the bar width of \a code:
/// the row's texts end there.
qint32 barsQuietZoneLeft(const barcode::Code128 &code);

/// "Barcode-Liste vom " and \a date in the user's short format, with the year
/// in four digits also where that format has two.
QString title(const QDate &date);

/// Prints the header of page \a page at y = 300: the title at x = 500 and
/// "Seite" with the number at x = 5500, in 10-point dark blue Arial italics.
void printHeader(platform::Printer &printer, qint64 page, const QDate &date);

/// Starts the row at \a y in black upright text: the bars of \a number, 680
/// high, at x = 5500, in code set C for runs of digits where set B is too wide;
/// cut where it would reach its quiet zone's width from the page's edge.
void printBars(platform::Printer &printer, barcode::Code128 &code, qint32 y, const QString &number);

/// Ends the row at \a y: \a number in 10-point bold at (5500, y + 750), under
/// the bars, ending at the page's edge.
void printNumber(platform::Printer &printer, qint32 y, const QString &number);

} // namespace ListPage
} // namespace tarvel::sheets
