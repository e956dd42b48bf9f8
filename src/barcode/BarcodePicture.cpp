#include "barcode/BarcodePicture.h"

#include "barcode/Code128.h"
#include "platform/FontMetricsCache.h"

#include <QPainter>
#include <cmath>

namespace tarvel::barcode::BarcodePicture {

QPixmap draw(const QSize &size, const QString &text, bool caption)
{
    const Code128 code;
    QString widths;
    for (int value : code.symbolValues(text))
        widths += code.pattern(value);
    int modules = 0;
    for (QChar c : widths)
        modules += c.digitValue();

    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    const int margin = caption ? 4 : 1;
    const int captionHeight = caption ? size.height() / 4 : 0;
    double module = double(size.width() - 2 * margin) / modules;
    if (module >= 1)
        module = std::floor(module);
    double x = std::floor((size.width() - module * modules) / 2);
    const double barHeight = size.height() - 2 * margin - captionHeight;
    for (qsizetype i = 0; i < widths.size(); ++i) {
        const double w = widths[i].digitValue() * module;
        if (i % 2 == 0)
            p.fillRect(QRectF(x, margin, w, barHeight), Qt::black);
        x += w;
    }
    if (caption) {
        QFont font(platform::FontMetricsCache::familyFor(QStringLiteral("Arial")));
        font.setPixelSize(std::max(8, captionHeight - 2));
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(0, size.height() - captionHeight - 1, size.width(), captionHeight), Qt::AlignCenter, text);
    }
    return pixmap;
}

} // namespace tarvel::barcode::BarcodePicture
