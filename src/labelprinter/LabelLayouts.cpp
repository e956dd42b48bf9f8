#include "labelprinter/LabelLayouts.h"

#include "barcode/Code128.h"
#include "labelprinter/BarWidthStep.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"

namespace tarvel::labelprinter {

using platform::Numbers::add32;
using platform::Numbers::toInt32;

namespace {
const QString TenBlanks = QStringLiteral("          ");
}

LabelLayouts::LabelLayouts(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes,
                           const LabelData &data)
    : m_printer(printer), m_code(code), m_boxes(boxes), m_data(data)
{
}

void LabelLayouts::articleBarcode()
{
    auto &p = m_printer;
    const qint32 y = toInt32(p.CurrentY());
    p.setCurrentX(BarsX);
    // Nothing stands right of the bars: their room ends at the printable edge.
    m_code.Drucke(p, m_data.ArtikelNr, BarHeight, toInt32(p.ScaleWidth()) - BarsX);
    // The number in 12 point bold below the bars; 10 point regular after it.
    p.setCurrentY(add32(y, 710));
    p.setCurrentX(100);
    p.setFontSize(12);
    p.setFontBold(true);
    p.Print(m_data.ArtikelNr);
    p.setFontSize(10);
    p.setFontBold(false);
}

void LabelLayouts::pricesAndBarcode()
{
    auto &p = m_printer;
    BarWidthStep::run(p, m_code, m_boxes);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(16);
    p.setCurrentY(100);
    p.setCurrentX(100);
    p.setFontBold(true);
    p.PrintInline(m_data.Preis1);
    p.PrintInline(TenBlanks);
    p.Print(m_data.Preis2);
    p.setFontBold(false);
    p.setCurrentX(100);
    p.Print();
    articleBarcode();
    p.Print();
}

void LabelLayouts::Etikett()
{
    auto &p = m_printer;
    pricesAndBarcode();
    p.setCurrentX(100);
    p.PrintInline(m_data.ISBN);
    p.PrintInline(TenBlanks + QStringLiteral("Warengruppe: "));
    p.Print(m_data.WarenGruppe);
    p.Print();
    const std::pair<QString, const QString *> captioned[] = {
        {QStringLiteral("Titel:"), &m_data.Titel},
        {QStringLiteral("Autor:"), &m_data.Autor},
        {QStringLiteral("Verlag:"), &m_data.Verlag},
    };
    for (const auto &[caption, value] : captioned) {
        p.setCurrentX(100);
        p.PrintInline(caption);
        p.setCurrentX(1100);
        p.Print(*value);
    }
    p.Print();
    p.setCurrentX(100);
    p.Print(m_data.Bemerkung);
}

void LabelLayouts::EinLabel()
{
    auto &p = m_printer;
    pricesAndBarcode();
    p.setCurrentX(100);
    p.Print(m_data.MatchCode);
    p.setCurrentX(100);
    p.PrintInline(QStringLiteral("WG: "));
    p.PrintInline(m_data.WarenGruppe);
    p.PrintInline(QStringLiteral("   "));
    p.Print(m_data.ISBN);
}

void LabelLayouts::KanuEtikett()
{
    auto &p = m_printer;
    BarWidthStep::run(p, m_code, m_boxes);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(12);
    p.setFontBold(false);
    p.setCurrentY(3100);
    p.setCurrentX(100);
    p.Print(m_data.MatchCode);
    p.Print();
    p.setCurrentX(100);
    p.Print(m_data.Bemerkung);
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(20);
    p.setCurrentY(5400);
    p.setCurrentX(100);
    p.setFontBold(true);
    p.Print(m_data.Preis1);
    p.setCurrentX(100);
    p.Print(m_data.Preis2);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontBold(false);
    p.setFontSize(12);
    p.Print();
    articleBarcode();
}

} // namespace tarvel::labelprinter
