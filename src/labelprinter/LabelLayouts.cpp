#include "labelprinter/LabelLayouts.h"

#include "barcode/Code128.h"
#include "labelprinter/BarWidthStep.h"
#include "platform/FieldTag.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"

#include <tuple>

namespace tarvel::labelprinter {

using platform::FieldTag;
using platform::Numbers::add32;
using platform::Numbers::toInt32;

namespace {
const QString TenBlanks = QStringLiteral("          ");
}

// Each text is drawn under the name of its field, so that a fit to the media
// may let names, titles and remarks end at its edge; captions and the blanks
// between the prices are drawn without a field, like prices and numbers they
// must show whole.

LabelLayouts::LabelLayouts(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes,
                           const LabelData &data)
    : m_printer(printer), m_code(code), m_boxes(boxes), m_data(data)
{
}

void LabelLayouts::articleBarcode()
{
    auto &p = m_printer;
    const FieldTag tag(p, QStringLiteral("ArtikelNr"));
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
    FieldTag tag(p, QStringLiteral("Preis1"));
    p.PrintInline(m_data.Preis1);
    tag.set({});
    p.PrintInline(TenBlanks);
    tag.set(QStringLiteral("Preis2"));
    p.Print(m_data.Preis2);
    tag.set({});
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
    FieldTag tag(p, QStringLiteral("ISBN"));
    p.PrintInline(m_data.ISBN);
    tag.set({});
    p.PrintInline(TenBlanks + QStringLiteral("Warengruppe: "));
    tag.set(QStringLiteral("WarenGruppe"));
    p.Print(m_data.WarenGruppe);
    tag.set({});
    p.Print();
    const std::tuple<QString, const QString *, QString> captioned[] = {
        {QStringLiteral("Titel:"), &m_data.Titel, QStringLiteral("Titel")},
        {QStringLiteral("Autor:"), &m_data.Autor, QStringLiteral("Autor")},
        {QStringLiteral("Verlag:"), &m_data.Verlag, QStringLiteral("Verlag")},
    };
    for (const auto &[caption, value, field] : captioned) {
        p.setCurrentX(100);
        tag.set({});
        p.PrintInline(caption);
        p.setCurrentX(1100);
        tag.set(field);
        p.Print(*value);
    }
    tag.set({});
    p.Print();
    p.setCurrentX(100);
    tag.set(QStringLiteral("Bemerkung"));
    p.Print(m_data.Bemerkung);
}

void LabelLayouts::EinLabel()
{
    auto &p = m_printer;
    pricesAndBarcode();
    p.setCurrentX(100);
    FieldTag tag(p, QStringLiteral("MatchCode"));
    p.Print(m_data.MatchCode);
    p.setCurrentX(100);
    tag.set({});
    p.PrintInline(QStringLiteral("WG: "));
    tag.set(QStringLiteral("WarenGruppe"));
    p.PrintInline(m_data.WarenGruppe);
    tag.set({});
    p.PrintInline(QStringLiteral("   "));
    tag.set(QStringLiteral("ISBN"));
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
    FieldTag tag(p, QStringLiteral("MatchCode"));
    p.Print(m_data.MatchCode);
    tag.set({});
    p.Print();
    p.setCurrentX(100);
    tag.set(QStringLiteral("Bemerkung"));
    p.Print(m_data.Bemerkung);
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(20);
    p.setCurrentY(5400);
    p.setCurrentX(100);
    p.setFontBold(true);
    tag.set(QStringLiteral("Preis1"));
    p.Print(m_data.Preis1);
    p.setCurrentX(100);
    tag.set(QStringLiteral("Preis2"));
    p.Print(m_data.Preis2);
    tag.set({});
    p.setFontName(QStringLiteral("Arial"));
    p.setFontBold(false);
    p.setFontSize(12);
    p.Print();
    articleBarcode();
}

} // namespace tarvel::labelprinter
