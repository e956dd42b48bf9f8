#include "support/BarcodeDecoder.h"

#include <ZXing/ReadBarcode.h>

#include <QPainter>
#include <algorithm>

namespace tarvel::test::BarcodeDecoder {

QStringList decodeAll(const QImage &source)
{
    // A white margin gives bars at the page edge their quiet zone.
    const int margin = 120;
    QImage image(source.width() + 2 * margin, source.height() + 2 * margin, QImage::Format_Grayscale8);
    image.fill(255);
    QPainter(&image).drawImage(margin, margin, source.convertToFormat(QImage::Format_Grayscale8));
    // The pages are rendered large enough; zxing 1.4's pass over a downscaled
    // copy trips its own assertion on sharp, whole-dot bars.
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code128).setTryHarder(true)
                           .setTryRotate(false).setTryDownscale(false);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                int(image.bytesPerLine()));
    auto results = ZXing::ReadBarcodes(view, hints);
    std::sort(results.begin(), results.end(), [](const ZXing::Result &a, const ZXing::Result &b) {
        const auto pa = a.position().topLeft(), pb = b.position().topLeft();
        return pa.y != pb.y ? pa.y < pb.y : pa.x < pb.x;
    });
    QStringList texts;
    for (const auto &r : results)
        if (r.isValid())
            texts << QString::fromStdWString(r.text());
    return texts;
}

QStringList decodeArea(const QImage &image, const QRect &area)
{
    return decodeAll(image.copy(area));
}

} // namespace tarvel::test::BarcodeDecoder
