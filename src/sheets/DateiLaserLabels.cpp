#include "sheets/DateiLaserLabels.h"

#include "platform/FieldTag.h"
#include "platform/Printer.h"

namespace tarvel::sheets {

DateiLaserLabels::DateiLaserLabels(platform::Printer &printer, barcode::Code128 &code)
    : DateiLayout(printer), m_label(printer, code), m_place(Grid, QStringLiteral("LaserDrucken"))
{
}

void DateiLaserLabels::skip(qint16 places)
{
    m_place.setStartPosition(places > 0 ? qint16(places % Grid.places() + 1) : 1);
}

SatzPlatz DateiLaserLabels::platz()
{
    return DateiLabel::platz(m_place.left(), m_place.top());
}

void DateiLaserLabels::setWeiterBeiFehler(bool weiter)
{
    DateiLayout::setWeiterBeiFehler(weiter);
    m_label.setWeiterBeiFehler(weiter);
}

void DateiLaserLabels::Drucke(const Artikel &artikel, const ArtikelWahl &wahl)
{
    m_label.Drucke(m_place.left(), m_place.top(), artikel, wahl, !m_place.lastColumn());
}

void DateiLaserLabels::naechsterPlatz()
{
    if (m_place.advance()) {
        platform::FieldTag feld(m_printer, QStringLiteral("Seitenwechsel"));
        m_printer.NewPage();
    }
}

} // namespace tarvel::sheets
