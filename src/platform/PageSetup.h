#pragma once

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPair>

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

    /// The built-in PDF printer's A4 portrait page at 300 dots per inch.
    static PageSetup pdfDefault() { return {}; }
};

} // namespace tarvel::platform
