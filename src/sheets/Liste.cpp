#include "sheets/Liste.h"

#include "barcode/Code128.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

#include <QDate>
#include <QLocale>
#include <limits>

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;
using platform::Numbers::add32;

Liste::Liste(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

void Liste::Kopf()
{
    if (m_page == std::numeric_limits<qint16>::max())
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("(Barcode-Liste: Seitenzahl über %1)").arg(m_page));
    ++m_page;
    auto &p = m_printer;
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.setFontItalic(true);
    p.setFontBold(false);
    p.setForeColor(Printer::QBColor(1));
    p.setCurrentY(300);
    p.setCurrentX(500);
    // The whole date in the user's short format, four-digit years included.
    p.PrintInline(QStringLiteral("Barcode-Liste vom ") + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    p.setCurrentX(5500);
    p.PrintInline(QStringLiteral("Seite "));
    p.Print(Printer::NumberItem(m_page));
    m_row = FirstRow;
}

void Liste::Drucke(const QString &ArtikelNr, const QString &ISBN, const QString &MatchCode, const QString &Preis1,
                   const QString &Preis2)
{
    auto &p = m_printer;
    const qint32 y = m_row;
    p.setFontItalic(false);
    p.setForeColor(Printer::QBColor(0));
    p.setCurrentY(y);
    p.setCurrentX(5500);
    m_code.Drucke(p, ArtikelNr, 680);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(8);
    p.setFontBold(false);
    p.setCurrentY(y);
    p.setCurrentX(500);
    p.Print(ISBN);
    p.setCurrentX(500);
    p.Print(MatchCode);
    p.setFontSize(16);
    p.setFontBold(true);
    p.setCurrentX(500);
    p.PrintInline(Preis1);
    p.setCurrentX(2500);
    p.Print(Preis2);
    p.setFontSize(10);
    p.setFontBold(true);
    p.setCurrentY(add32(y, 750));
    p.setCurrentX(5500);
    p.Print(ArtikelNr);
    if (y >= LastRowFrom) {
        p.NewPage();
        Kopf();
    } else {
        m_row = add32(y, RowPitch);
    }
}

} // namespace tarvel::sheets
