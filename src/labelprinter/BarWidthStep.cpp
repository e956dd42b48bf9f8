#include "labelprinter/BarWidthStep.h"

#include "barcode/Code128.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/PrintErrorText.h"
#include "platform/Numbers.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

namespace tarvel::labelprinter::BarWidthStep {

using platform::Numbers::leadingNumber;
using platform::Numbers::numberText;
using platform::Numbers::toInt16;
using platform::RuntimeError;

void InitStrichbreite(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes, qint16 width)
{
    const double fit = code.InitBreite(printer, width);
    boxes.setMaxZeichen(numberText(toInt16(fit * 100.0) / 100.0));
    boxes.setStrichbreite(QString::number(printer.DrawWidth()));
}

qint16 widthFromText(const QString &text)
{
    const QString allowed = QStringLiteral("Strichbreite \"%1\": erlaubt sind 1 bis 32767 Pixel, 0 für die Standardbreite");
    double value = 0;
    try {
        value = leadingNumber(text);
        const qint16 width = toInt16(value);
        if (width < 0)
            throw RuntimeError(RuntimeError::InvalidArgument, allowed.arg(text));
        return width;
    } catch (const RuntimeError &e) {
        if (e.number() == RuntimeError::Overflow)
            throw RuntimeError(RuntimeError::Overflow, allowed.arg(text));
        throw;
    }
}

void run(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes)
{
    InitStrichbreite(printer, code, boxes, widthFromText(boxes.strichbreite()));
}

QString edited(platform::Printer &printer, barcode::Code128 &code, BarWidthBoxes &boxes)
{
    try {
        run(printer, code, boxes);
        return {};
    } catch (const RuntimeError &e) {
        boxes.setStrichbreite(QString::number(printer.DrawWidth()));
        return QStringLiteral("Diese Strichbreite wird nicht angenommen:") + MessageBreak + e.text();
    }
}

} // namespace tarvel::labelprinter::BarWidthStep
