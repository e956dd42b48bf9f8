// barcodes_lesen BILD...: the Code 128 texts zxing-cpp reads in each image, one line
// an image, for the shell tests that decode what a printer received.
#include "support/BarcodeDecoder.h"

#include <QCoreApplication>
#include <QImage>
#include <QTransform>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    for (const QString &file : app.arguments().mid(1)) {
        const QImage image(file);
        // A white border: the label's edge may lie right at the quiet zone.
        QImage framed(image.width() + 80, image.height() + 80, QImage::Format_RGB32);
        framed.fill(Qt::white);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                framed.setPixel(x + 40, y + 40, image.pixel(x, y));
        // A label laid across the media has its bars across the raster's rows.
        QStringList codes = tarvel::test::BarcodeDecoder::decodeAll(framed);
        if (codes.isEmpty())
            codes = tarvel::test::BarcodeDecoder::decodeAll(framed.transformed(QTransform().rotate(90)));
        out << codes.join(u' ') << '\n';
    }
    return 0;
}
