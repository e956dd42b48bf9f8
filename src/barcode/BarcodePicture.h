#pragma once

#include <QPixmap>
#include <QString>

namespace tarvel::barcode {

/// The small Code 128 pictures of the windows: the setup dialog's and the main
/// window's decorations and the window icon.
namespace BarcodePicture {

/// The bars of \a text in code set B on white, centred in \a size, with
/// \a text under them when \a caption is set. Modules are whole pixels where
/// they fit, so the picture stays readable by a scanner; where they do not,
/// the bars are scaled down to fit.
QPixmap draw(const QSize &size, const QString &text, bool caption);

} // namespace BarcodePicture
} // namespace tarvel::barcode
