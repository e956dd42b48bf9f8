#pragma once

#include <QImage>
#include <QStringList>

namespace tarvel::test {

/// Reads the Code 128 barcodes in an image with an independent decoder (zxing-cpp).
namespace BarcodeDecoder {

/// Texts of every Code 128 barcode found in \a image, top to bottom.
QStringList decodeAll(const QImage &image);
/// Texts of the barcodes inside \a area of \a image (a white border is added,
/// since labels carry no quiet zone of their own).
QStringList decodeArea(const QImage &image, const QRect &area);

} // namespace BarcodeDecoder
} // namespace tarvel::test
