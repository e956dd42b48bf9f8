#include "labelprinter/Abholschein.h"

#include "barcode/Code128.h"
#include "labelprinter/BarWidthStep.h"
#include "labelprinter/FontDrehen.h"
#include "platform/FieldTag.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

#include <tuple>

namespace tarvel::labelprinter {

using platform::FieldTag;
using platform::RuntimeError;
using platform::Numbers::add32;
using platform::Numbers::toInt32;

Abholschein::Abholschein(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes, LabelData &data)
    : m_printer(printer), m_code(code), m_boxes(boxes), m_data(data)
{
}

void Abholschein::Drucke(const QStringList &Zeile, const QString &zuHaenden, const QString &Anrede,
                         qint16 SeitenProBlatt)
{
    if (m_data.StartPosition < 0)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("Abholschein: StartPosition %1, erlaubt sind Positionen ab 1")
                               .arg(m_data.StartPosition));
    if (SeitenProBlatt < 1)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("Abholschein: SeitenProBlatt %1, erlaubt sind 1 bis 4").arg(SeitenProBlatt));
    if (Zeile.size() < 5)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                           QStringLiteral("Abholschein: %1 Zeilen übergeben, gebraucht werden die Zeilen 0 bis 4")
                               .arg(Zeile.size()));

    // A. The place: quarters filled column by column.
    if (m_data.StartPosition == 0)
        m_data.StartPosition = 1;
    const qint32 k = (m_data.StartPosition - 1) % 4;
    const qint32 c = (k / 2) * PlaceWidth;
    const qint32 r = (k % 2) * PlaceHeight;
    auto &p = m_printer;
    // Several slips to a sheet are laid out in the quarters of a landscape page.
    if (SeitenProBlatt > 1)
        p.wantLandscapePage();
    BarWidthStep::run(p, m_code, m_boxes);
    const qint32 x0 = c + TextIndent;
    const LabelData &d = m_data;
    // Each text under the name of its field (captions without one), so that a
    // fit to the media may let names, remarks and lines end at its edge.
    FieldTag tag(p);

    // B. Right column: order data behind captions, attention line, remark.
    p.setFontName(QStringLiteral("Arial"));
    p.setCurrentY(r);
    p.setFontBold(false);
    p.setFontSize(10);
    const std::tuple<QString, const QString *, QString> orderData[] = {
        {QStringLiteral("Datum: "), &d.Datum, QStringLiteral("Datum")},
        {QStringLiteral("Kdnr:"), &d.KdNr, QStringLiteral("KdNr")},
        {QStringLiteral("Telefon:"), &d.Telefon, QStringLiteral("Telefon")},
        {QStringLiteral("Bestellt:"), &d.BestellDatum, QStringLiteral("BestellDatum")},
        {QStringLiteral("Menge:"), &d.Menge, QStringLiteral("Menge")},
    };
    for (const auto &[caption, value, field] : orderData) {
        p.setCurrentX(x0 + RightColumn);
        tag.set({});
        p.PrintInline(caption);
        p.setCurrentX(x0 + 5500);
        tag.set(field);
        p.Print(*value);
    }
    p.setCurrentX(x0 + RightColumn);
    tag.set(QStringLiteral("zuHaenden"));
    p.Print(zuHaenden);
    p.setFontSize(16);
    p.setFontBold(true);
    p.setCurrentX(x0 + RightColumn);
    tag.set(QStringLiteral("Bemerkung"));
    p.Print(d.Bemerkung);
    p.setFontSize(10);
    p.setFontBold(false);

    // Left column: address block and prices, from the top of the slip again.
    p.setCurrentY(r);
    if (!Anrede.isEmpty()) {
        p.setCurrentX(x0);
        tag.set(QStringLiteral("Anrede"));
        p.Print(Anrede);
    }
    p.setCurrentX(x0);
    p.setFontSize(16);
    p.setFontBold(true);
    tag.set(QStringLiteral("Name1"));
    p.Print(d.Name1);
    p.setFontBold(false);
    p.setFontSize(10);
    if (!d.Name2.isEmpty()) {
        p.setCurrentX(x0);
        tag.set(QStringLiteral("Name2"));
        p.Print(d.Name2);
    }
    p.setCurrentX(x0);
    tag.set(QStringLiteral("Strasse"));
    p.Print(d.Strasse);
    p.setCurrentX(x0);
    p.setFontSize(14);
    p.setFontBold(true);
    tag.set(QStringLiteral("PLZ"));
    p.PrintInline(d.PLZ);
    tag.set({});
    p.PrintInline(QStringLiteral(" "));
    tag.set(QStringLiteral("Ort"));
    p.Print(d.Ort);
    p.setFontBold(false);
    p.setFontSize(10);
    tag.set({});
    p.Print();
    p.setCurrentX(x0);
    tag.set(QStringLiteral("Preis1"));
    p.PrintInline(d.Preis1);
    tag.set({});
    p.PrintInline(QStringLiteral("       "));
    tag.set(QStringLiteral("Preis2"));
    p.Print(d.Preis2);
    p.setFontBold(false);
    p.setFontSize(10);
    p.Print();

    // The order number as barcode, then the lines below it in 8 point.
    const qint32 y = toInt32(p.CurrentY());
    p.setCurrentX(x0);
    tag.set(QStringLiteral("VorgangsNr"));
    // The bars' room ends where the right column's texts begin.
    m_code.Drucke(p, d.VorgangsNr, BarHeight, RightColumn);
    p.setCurrentY(add32(y, 700));
    p.setCurrentX(x0);
    p.setFontSize(8);
    p.Print(d.VorgangsNr);
    p.setFontBold(false);
    p.setCurrentY(add32(y, 950));
    p.setCurrentX(x0);
    tag.set(QStringLiteral("MatchCode"));
    p.Print(d.MatchCode);
    if (!d.ISBN.isEmpty()) {
        p.setCurrentX(x0);
        tag.set(QStringLiteral("ISBN"));
        p.Print(d.ISBN);
    }
    tag.set({});
    p.Print();
    for (qsizetype i = 0; i < 5; ++i) {
        p.setCurrentX(x0);
        tag.set(QStringLiteral("Zeile%1").arg(i));
        if (!Zeile.at(i).isEmpty())
            p.Print(Zeile.at(i));
    }
    tag.set({});
    p.Print();
    p.setCurrentX(x0);
    tag.set(QStringLiteral("SchlussText"));
    p.Print(d.SchlussText);

    // C. The name turned in the margin, rising from the line below the closing text.
    p.setCurrentX(c + NameIndent);
    p.setFontSize(14);
    p.setFontBold(true);
    tag.set(QStringLiteral("Name1"));
    FontDrehen::GedrehtDrucken(p, d.Name1);
    tag.set({});

    // D. The page ends after its last slip.
    if (m_data.StartPosition % SeitenProBlatt == 0)
        p.NewPage();
    m_data.StartPosition = add32(m_data.StartPosition, 1);
}

} // namespace tarvel::labelprinter
