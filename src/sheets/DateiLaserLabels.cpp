#include "sheets/DateiLaserLabels.h"

#include "platform/Printer.h"

namespace tarvel::sheets {

DateiLaserLabels::DateiLaserLabels(platform::Printer &printer, barcode::Code128 &code)
    : m_printer(printer), m_label(printer, code), m_place(Grid, QStringLiteral("LaserDrucken"))
{
}

void DateiLaserLabels::skip(qint16 places)
{
    m_place.setStartPosition(places > 0 ? qint16(places % Grid.places() + 1) : 1);
}

void DateiLaserLabels::Drucke(const Artikel &artikel, const ArtikelWahl &wahl)
{
    m_pageBreak = false;
    const qint32 x = m_place.left();
    const qint32 y = m_place.top();
    const bool sheetFull = m_place.advance();
    m_label.Drucke(x, y, artikel, wahl);
    if (sheetFull) {
        m_pageBreak = true;
        m_printer.NewPage();
    }
}

QString DateiLaserLabels::feld() const
{
    return m_pageBreak ? QStringLiteral("Seitenwechsel") : m_label.feld();
}

} // namespace tarvel::sheets
