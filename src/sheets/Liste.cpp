#include "sheets/Liste.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/ListPage.h"

#include <QDate>
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
    ListPage::printHeader(m_printer, m_page, QDate::currentDate());
    m_row = ListPage::FirstRow;
}

void Liste::Drucke(const QString &ArtikelNr, const QString &ISBN, const QString &MatchCode, const QString &Preis1,
                   const QString &Preis2)
{
    auto &p = m_printer;
    const qint32 y = m_row;
    ListPage::printBars(p, m_code, y, ArtikelNr);
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
    ListPage::printNumber(p, y, ArtikelNr);
    if (y >= ListPage::LastRowFrom) {
        p.NewPage();
        Kopf();
    } else {
        m_row = add32(y, ListPage::RowPitch);
    }
}

} // namespace tarvel::sheets
