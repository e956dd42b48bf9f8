#pragma once

#include "labelprinter/LabelData.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarvel::platform {
class Printer;
struct PageSetup;
}

namespace tarvel::labelprinter {

/// Whether a label layout fits a printer's media, judged from the layout's
/// measured drawing (never from a copy of its geometry): the bars with their
/// quiet zone, the prices, numbers and captions, and the start of every line
/// must lie inside the printable area; a text that runs past the right edge
/// is cut there and noted. Where the media is fed narrow edge first and the
/// layout is wide, the label is laid across the media. Free of windows: the
/// runs, the automation object, the setup dialog, `tarvel drucker` and the
/// web service ask it.
class MediaFit
{
public:
    /// The layouts a label printer prints.
    enum class Layout { Label, EinLabel, Etikett, KanuEtikett, Abholschein };
    static QString name(Layout layout);
    static QList<Layout> all();

    /// Draws a layout on the printer it is given.
    using Drawing = std::function<void(platform::Printer &)>;

    struct Result
    {
        bool fits = true;
        bool landscape = false; ///< laid across the media
        QSizeF needed;          ///< the layout's size, mm
        QSizeF media;           ///< the media's size as fed (portrait or across), mm
        QStringList cut;        ///< fields whose text the media's right edge cuts
        QString message;        ///< why it does not fit, in the user's words; empty when it fits
    };

    /// Measures \a drawing on the page of \a setup (both ways where the media is
    /// portrait) and says whether it fits and which way. \a what names the
    /// layout in the message ("DruckeLabel").
    static Result check(const platform::PageSetup &setup, const QString &what, const Drawing &drawing);

    /// Draws \a layout with the record \a data at the bar width \a strichbreite
    /// (the slip with its free lines, attention and salutation), as the layout
    /// prints it, on whatever printer it is given.
    static Drawing drawing(Layout layout, const LabelData &data, const QString &strichbreite,
                           const QStringList &zeilen = QStringList(5, QString()), const QString &zuHaenden = {},
                           const QString &anrede = {});

    /// The layout \a layout with the record \a data (a sample record where none
    /// is given) on the page of \a setup, at the bar width \a strichbreite.
    static Result check(const platform::PageSetup &setup, Layout layout, const LabelData &data,
                        const QString &strichbreite = QStringLiteral("0"));

    /// Before \a drawing goes to \a printer: on a system printer, refuses it
    /// with error 482 when it does not fit the media (or the media is not
    /// known), naming both sizes, and lays it across the media where that is
    /// how it fits. Nothing is drawn here.
    static void ensure(platform::Printer &printer, const QString &what, const Drawing &drawing);

    /// Lays the next page across a system printer's media where \a layout,
    /// drawn with a sample record, fits so (a check before printing then
    /// judges it on the page it prints on).
    static void orient(platform::Printer &printer, Layout layout);

    /// For each layout, whether it fits printer \a printer as it is set up
    /// (the current choice's page for it). Empty when the printer is unknown.
    static QList<std::pair<Layout, Result>> forPrinter(const QString &printer);

    /// A record with texts of the usual length, for a fit without a record.
    static LabelData sample();
};

} // namespace tarvel::labelprinter
