#pragma once

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPair>
#include <QString>

namespace tarvel::platform {

/// How a printer's pages are laid out: the media with its orientation and
/// printable area, the resolution, and the options a job carries to CUPS.
struct PageSetup
{
    /// Media, orientation and the margins outside the printable area.
    QPageLayout layout{QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)};
    int dpiX = 300;
    int dpiY = 300;
    /// Options of the printer dialog that CUPS applies to the job ("Darkness", ...).
    QList<QPair<QByteArray, QByteArray>> options;
    /// The media the pages are laid out on, as CUPS names it; every job names
    /// it, so that CUPS never picks another. Empty for the PDF printer.
    QByteArray media;
    /// Why the media cannot be known, with how to set it; no job starts then.
    QString mediaProblem;
    /// A printer's driver turns the pages into dots: bars keep their edges off
    /// the dot boundaries, and the printable area starts exactly on a dot.
    bool rasterised = false;

    /// The built-in PDF printer's A4 portrait page at 300 dots per inch.
    static PageSetup pdfDefault() { return {}; }
};

} // namespace tarvel::platform
