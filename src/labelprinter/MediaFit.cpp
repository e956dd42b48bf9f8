#include "labelprinter/MediaFit.h"

#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelLayouts.h"
#include "platform/MeasuringBackend.h"
#include "platform/PageSetup.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "sheets/Artikel.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/DateiLabel.h"

#include <QLocale>
#include <QLoggingCategory>
#include <QSet>

namespace tarvel::labelprinter {

using platform::MeasuredItem;
using platform::PageSetup;
using platform::Printer;

Q_LOGGING_CATEGORY(lcMediaFit, "tarvel.labelprinter.fit")

namespace {

constexpr double TwipsPerMm = 1440.0 / 25.4;
constexpr int QuietModules = 10; ///< Code 128's quiet zone right of the bars (the layouts set their left)

/// Texts that must show whole: prices, numbers and the captions before them
/// (drawn untagged). Names, titles and remarks may end at the media's edge.
bool mustShowWhole(const QString &field)
{
    static const QSet<QString> whole{
        QStringLiteral("Preis1"), QStringLiteral("Preis2"), QStringLiteral("EK"), QStringLiteral("VK"),
        QStringLiteral("Listenpreis"), QStringLiteral("ArtikelNr"), QStringLiteral("BestellNr"),
        QStringLiteral("Bereich/ArtikelNr"), QStringLiteral("ISBN"), QStringLiteral("WarenGruppe"),
        QStringLiteral("VorgangsNr"), QStringLiteral("KdNr"), QStringLiteral("Datum"), QStringLiteral("BestellDatum"),
        QStringLiteral("Telefon"), QStringLiteral("Menge"), QStringLiteral("PLZ"), QStringLiteral("LagerfachNr"),
    };
    return field.isEmpty() || whole.contains(field);
}

QString mm(double twips)
{
    return QLocale(QLocale::German).toString(twips / TwipsPerMm, 'f', 1);
}

QString size(const QSizeF &twips)
{
    return QStringLiteral("%1 × %2 mm").arg(mm(twips.width()), mm(twips.height()));
}

/// What a drawing needs of a page: everything that must show, and the texts
/// the right edge may cut.
struct Needs
{
    QRectF must;       ///< bars, whole texts and the start of every line
    QRectF quiet;      ///< the bars with their quiet zone: on the media, margins included
    QRectF drawn;      ///< all that shows, for the size in the message
    QList<MeasuredItem> cuttable;
};

Needs measure(const PageSetup &setup, const QSizeF &printable, const MediaFit::Drawing &drawing)
{
    auto backend = std::make_unique<platform::MeasuringBackend>(setup.dpiX, printable);
    platform::MeasuringBackend &measured = *backend;
    Printer printer(std::move(backend));
    drawing(printer);
    const double quiet = QuietModules * printer.DrawWidth() * printer.TwipsPerPixelX();
    printer.KillDoc();
    const QRectF page(QPointF(0, 0), printable);
    Needs n;
    for (const MeasuredItem &item : measured.items()) {
        // What the layout's own clip shows; the page's edge is what is judged here.
        const QRectF shown = item.clip == page || item.clip.isNull() ? item.whole : item.whole.intersected(item.clip);
        if (shown.isEmpty() && item.kind == MeasuredItem::Text)
            continue;
        n.drawn |= shown;
        if (item.kind == MeasuredItem::Bar) {
            n.must |= shown;
            n.quiet |= shown.adjusted(0, 0, quiet, 0);
        } else if (item.kind != MeasuredItem::Text || mustShowWhole(item.field)) {
            n.must |= shown;
        } else {
            n.must |= QRectF(shown.left(), shown.top(), 1, shown.height());
            n.cuttable.append(item);
            n.cuttable.last().whole = shown;
        }
    }
    return n;
}

} // namespace

QString MediaFit::name(Layout layout)
{
    switch (layout) {
    case Layout::Label: return QStringLiteral("Label");
    case Layout::EinLabel: return QStringLiteral("DruckeLabel");
    case Layout::Etikett: return QStringLiteral("DruckeEtikett");
    case Layout::KanuEtikett: return QStringLiteral("DruckeKanuEtikett");
    case Layout::Abholschein: return QStringLiteral("DruckeAbholschein");
    }
    return {};
}

QList<MediaFit::Layout> MediaFit::all()
{
    return {Layout::Label, Layout::EinLabel, Layout::Etikett, Layout::KanuEtikett, Layout::Abholschein};
}

MediaFit::Result MediaFit::check(const PageSetup &setup, const QString &what, const Drawing &drawing)
{
    const QSizeF full = setup.layout.fullRectPoints().size() * 20.0;
    const QSizeF printable = setup.layout.paintRect(QPageLayout::Point).size() * 20.0;
    const QMarginsF margins = setup.layout.margins(QPageLayout::Point) * 20.0;
    auto judge = [&](bool landscape) {
        Result r;
        r.landscape = landscape;
        const QSizeF area = landscape ? printable.transposed() : printable;
        const QSizeF media = landscape ? full.transposed() : full;
        // Across the media, its top edge is the label's left (PdfBackend turns it so).
        const double left = landscape ? margins.top() : margins.left();
        const double right = landscape ? margins.bottom() : margins.right();
        const Needs n = measure(setup, area, drawing);
        const QRectF page(QPointF(0, 0), area);
        const QRectF onMedia(QPointF(-left, 0), QSizeF(area.width() + left + right, area.height()));
        r.needed = QSizeF(std::max(n.drawn.right(), n.quiet.right()), n.drawn.bottom());
        r.media = media;
        r.fits = (n.must.isNull() || page.contains(n.must)) && (n.quiet.isNull() || onMedia.contains(n.quiet));
        for (const MeasuredItem &item : n.cuttable) {
            if (item.whole.right() > area.width() && !r.cut.contains(item.field))
                r.cut.append(item.field);
        }
        if (!r.fits)
            r.message = QStringLiteral("„%1“ braucht %2, das Etikett bietet %3 (bedruckbar %4)")
                            .arg(what, size(r.needed), size(media), size(area));
        r.needed /= TwipsPerMm;
        r.media /= TwipsPerMm;
        return r;
    };
    const bool portraitMedia = printable.width() < printable.height();
    const Result first = judge(false);
    if (!portraitMedia)
        return first;
    // A wide label goes across media that is fed narrow edge first.
    const bool wide = first.needed.width() > first.needed.height();
    if (first.fits && !wide)
        return first;
    const Result across = judge(true);
    return across.fits || (!first.fits && wide) ? across : first;
}

void MediaFit::ensure(Printer &printer, const QString &what, const Drawing &drawing)
{
    const PageSetup *setup = printer.pageSetup();
    if (!setup || !setup->rasterised)
        return;
    const QString queue = printer.DeviceName();
    if (!setup->mediaProblem.isEmpty())
        throw platform::RuntimeError(platform::RuntimeError::PrinterError, setup->mediaProblem);
    const Result r = check(*setup, what, drawing);
    if (!r.fits)
        throw platform::RuntimeError(platform::RuntimeError::PrinterError,
                                     QStringLiteral("Drucker \"%1\": %2").arg(queue, r.message));
    if (!r.cut.isEmpty())
        qCInfo(lcMediaFit).noquote() << QStringLiteral("Drucker \"%1\": „%2“ endet am Rand des Etiketts: %3")
                                            .arg(queue, what, r.cut.join(QStringLiteral(", ")));
    if (r.landscape)
        printer.wantLandscapePage();
}

void MediaFit::orient(Printer &printer, Layout layout)
{
    const PageSetup *setup = printer.pageSetup();
    if (setup && setup->rasterised && setup->mediaProblem.isEmpty() && check(*setup, layout, sample()).landscape)
        printer.wantLandscapePage();
}

LabelData MediaFit::sample()
{
    LabelData d;
    d.ArtikelNr = QStringLiteral("978-3-16-148410-0");
    d.Preis1 = QStringLiteral("12,95 €");
    d.Preis2 = QStringLiteral("14,95 €");
    d.MatchCode = QStringLiteral("MUSTERMANN");
    d.WarenGruppe = QStringLiteral("123");
    d.ISBN = QStringLiteral("978-3-16-148410-0");
    d.Titel = QStringLiteral("Ein Buch mit einem Titel");
    d.Autor = QStringLiteral("Erika Mustermann");
    d.Verlag = QStringLiteral("Musterverlag");
    d.Bemerkung = QStringLiteral("Abholbereit");
    d.VorgangsNr = QStringLiteral("V-100234");
    d.Datum = QStringLiteral("07.12.2026");
    d.BestellDatum = QStringLiteral("01.12.2026");
    d.KdNr = QStringLiteral("K-4711");
    d.Name1 = QStringLiteral("Erika Mustermann");
    d.Strasse = QStringLiteral("Hauptstraße 1");
    d.PLZ = QStringLiteral("12345");
    d.Ort = QStringLiteral("Musterstadt");
    d.Telefon = QStringLiteral("0123 456789");
    d.SchlussText = QStringLiteral("Vielen Dank für Ihre Bestellung");
    d.Menge = QStringLiteral("1");
    return d;
}

MediaFit::Drawing MediaFit::drawing(Layout layout, const LabelData &data, const QString &strichbreite,
                                    const QStringList &zeilen, const QString &zuHaenden, const QString &anrede)
{
    return [=](Printer &printer) {
        barcode::Code128 code;
        PlainBarWidthBoxes boxes(strichbreite);
        LabelData record = data;
        switch (layout) {
        case Layout::Label: {
            sheets::Artikel artikel;
            artikel.Bereich = QStringLiteral("Buch");
            artikel.ArtikelNr = QStringLiteral("100.001");
            artikel.BestellNr = data.ArtikelNr;
            artikel.KurzText1 = data.Titel;
            artikel.KurzText2 = data.Autor;
            artikel.VK = data.Preis1;
            artikel.MatchCode = data.MatchCode;
            sheets::ArtikelWahl wahl;
            wahl.preis1 = sheets::Preis::VK;
            wahl.waehrung = QStringLiteral("€");
            code.InitBreite(printer, qint16(strichbreite.toInt()));
            sheets::DateiLabel(printer, code).Drucke(0, 0, artikel, wahl);
            break;
        }
        case Layout::EinLabel: LabelLayouts(printer, code, boxes, record).EinLabel(); break;
        case Layout::Etikett: LabelLayouts(printer, code, boxes, record).Etikett(); break;
        case Layout::KanuEtikett: LabelLayouts(printer, code, boxes, record).KanuEtikett(); break;
        case Layout::Abholschein:
            record.StartPosition = 1;
            Abholschein(printer, code, boxes, record).Drucke(zeilen, zuHaenden, anrede, 1);
            break;
        }
    };
}

MediaFit::Result MediaFit::check(const PageSetup &setup, Layout layout, const LabelData &data,
                                 const QString &strichbreite)
{
    return check(setup, name(layout), drawing(layout, data, strichbreite));
}

QList<std::pair<MediaFit::Layout, MediaFit::Result>> MediaFit::forPrinter(const QString &printer)
{
    const PageSetup setup = platform::PrinterChoice::instance().setupFor(printer);
    QList<std::pair<Layout, Result>> fits;
    if (!setup.mediaProblem.isEmpty())
        return fits;
    for (Layout layout : all())
        fits.append({layout, check(setup, layout, sample())});
    return fits;
}

} // namespace tarvel::labelprinter
