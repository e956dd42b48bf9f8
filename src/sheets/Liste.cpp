#include "sheets/Liste.h"

#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/LabelClip.h"
#include "sheets/ListPage.h"

#include <QDate>
#include <limits>

namespace tarvel::sheets {

using platform::Printer;
using platform::RuntimeError;
using platform::Numbers::add32;

namespace {
constexpr qint32 SecondPrice = 2500;
}

Liste::Liste(Printer &printer, barcode::Code128 &code) : m_printer(printer), m_code(code) {}

void Liste::Kopf()
{
    if (m_page == std::numeric_limits<qint16>::max())
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("Barcode-Liste: Seitenzahl über %1").arg(m_page));
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
    {
        // The texts end before the bars, the first price before the second.
        LabelClip clip(p, ListPage::TextX, y, ListPage::BarsX - ListPage::TextX, ListPage::RowPitch);
        p.setFontName(QStringLiteral("Arial"));
        p.setFontSize(8);
        p.setFontBold(false);
        p.setCurrentY(y);
        p.setCurrentX(ListPage::TextX);
        p.Print(ISBN);
        p.setCurrentX(ListPage::TextX);
        p.Print(MatchCode);
        p.setFontSize(16);
        p.setFontBold(true);
        clip.to(ListPage::TextX, y, SecondPrice - ListPage::TextX, ListPage::RowPitch);
        p.setCurrentX(ListPage::TextX);
        p.PrintInline(Preis1);
        clip.to(SecondPrice, y, ListPage::BarsX - SecondPrice, ListPage::RowPitch);
        p.setCurrentX(SecondPrice);
        p.Print(Preis2);
    }
    ListPage::printNumber(p, y, ArtikelNr);
    if (y >= ListPage::LastRowFrom) {
        p.NewPage();
        Kopf();
    } else {
        m_row = add32(y, ListPage::RowPitch);
    }
}

} // namespace tarvel::sheets
