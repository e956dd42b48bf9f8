#include "sheets/LabelFit.h"

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/PrinterStyleGuard.h"
#include "sheets/Artikel.h"
#include "sheets/DateiLabel.h"
#include "sheets/DateiLaserLabels.h"
#include "sheets/DateiListe.h"
#include "sheets/ListPage.h"

#include <algorithm>

namespace tarvel::sheets::LabelFit {

using barcode::Code128;

BarcodeFit fitBarcode(const Code128 &code, const QString &text, qint32 platzTwips)
{
    BarcodeFit fit;
    fit.platzTwips = platzTwips;
    const Code128::Zeichensatz satz = code.satzFuer(text, platzTwips);
    fit.module = code.moduleCount(text, satz);
    if (satz == Code128::Zeichensatz::NurB) {
        fit.ergebnis = BarcodeFit::SetB;
        fit.passendeStrichbreite = code.DrawWidth();
        return fit;
    }
    fit.passendeStrichbreite = code.passendeBreite(text, platzTwips);
    fit.ergebnis = fit.passendeStrichbreite == code.DrawWidth() ? BarcodeFit::SetC : BarcodeFit::ZuBreit;
    return fit;
}

qint32 barcodePlatz(Layout layout, platform::Printer &printer)
{
    switch (layout) {
    case Layout::Liste: return ListPage::barRoom(printer);
    case Layout::Label: return DateiLabel::barcodePlatz(printer, 0);
    case Layout::Laser: {
        // The right column's labels have the least room where the page is narrow.
        const auto &grid = DateiLaserLabels::Grid;
        return DateiLabel::barcodePlatz(printer, grid.left + (grid.columns - 1) * grid.pitchX);
    }
    }
    return 0;
}

BarcodeFit fitBestellNr(Layout layout, platform::Printer &printer, const Code128 &code, const Artikel &artikel)
{
    return fitBarcode(code, artikel.BestellNr, barcodePlatz(layout, printer));
}

QStringList abgeschnitteneFelder(Layout layout, platform::Printer &printer, const Artikel &artikel,
                                 const ArtikelWahl &wahl)
{
    const platform::PrinterStyleGuard stil(printer);
    return layout == Layout::Liste ? DateiListe::abgeschnitten(printer, artikel, wahl)
                                   : DateiLabel::abgeschnitten(printer, artikel, wahl);
}

} // namespace tarvel::sheets::LabelFit
