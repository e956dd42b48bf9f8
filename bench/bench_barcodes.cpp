// N barcodes of 13 digits, each with two text lines, into one PDF job: in code set B,
// and in a four-lane label's place of 48 mm, where only the shortest symbol (code set C)
// fits. Then the encoding alone in either code set, and the check whether a barcode
// fits its place, so that what choosing the code set costs is visible on its own.
#include "BenchRow.h"
#include "barcode/Code128.h"
#include "platform/MemoryTuning.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace tarvel;
using barcode::Code128;
using Satz = Code128::Zeichensatz;

namespace {

constexpr qint32 LanePlace = 2721; ///< 48 mm in twips

QString number(int i)
{
    return QStringLiteral("4711%1").arg(i, 9, 10, QLatin1Char('0'));
}

/// \a count labels into one PDF job; a \a room below 0 draws code set B without asking for room.
void labels(int count, qint32 room)
{
    QElapsedTimer timer;
    timer.start();
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    Code128 code;
    code.InitBreite(printer, 0);
    printer.setFontName(QStringLiteral("Arial"));
    for (int i = 0; i < count; ++i) {
        const int place = i % 24;
        const double x = 310 + (place / 8) * 3700, y = 700 + (place % 8) * 1930;
        printer.setCurrentX(x);
        printer.setCurrentY(y);
        if (room < 0)
            code.Drucke(printer, number(i), 680);
        else
            code.Drucke(printer, number(i), 680, room);
        printer.setCurrentY(y + 710);
        printer.setCurrentX(x);
        printer.setFontSize(10);
        printer.setFontBold(true);
        printer.Print(number(i));
        printer.setCurrentX(x);
        printer.setFontSize(8);
        printer.setFontBold(false);
        printer.Print(QStringLiteral("Weißbier Flaschengärung"));
        if (place == 23)
            printer.NewPage();
    }
    const qint64 bytes = QFileInfo(printer.EndDoc()).size();
    const double s = timer.nsecsElapsed() / 1e9;
    bench::printRow(room < 0 ? QStringLiteral("Barcodes ins PDF, Zeichensatz B")
                             : QStringLiteral("Barcodes ins PDF, Platz 48 mm (Zeichensatz C)"),
                    count, s, bench::perItemMs(s, count), bench::peakMegabytes(),
                    QStringLiteral("PDF %1 KB (%2 Bytes/Barcode)").arg(bytes / 1024.0, 0, 'f', 1).arg(bytes / count));
}

/// \a count runs of \a work over the barcode texts, on a code at the default bar width;
/// \a unit names the sum of what \a work returns.
template<typename Work>
void encoding(const QString &what, const QString &unit, int count, Work &&work)
{
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    Code128 code;
    code.InitBreite(printer, 0);
    QElapsedTimer timer;
    timer.start();
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += work(code, number(i));
    const double s = timer.nsecsElapsed() / 1e9;
    bench::printRow(what, count, s, bench::perItemMs(s, count), bench::peakMegabytes(),
                    unit.arg(sum));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepPageBuffers(); // as the program does at start
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    platform::PdfBackend::setJobsFolder(dir.path());
    labels(count, -1);
    labels(count, LanePlace);
    const int many = 10 * count;
    encoding(QStringLiteral("Kodieren allein, Zeichensatz B"), QStringLiteral("%1 Symbole"), many,
             [](const Code128 &code, const QString &text) { return code.symbolValues(text).size(); });
    encoding(QStringLiteral("Kodieren allein, kürzestes Symbol (C)"), QStringLiteral("%1 Symbole"), many,
             [](const Code128 &code, const QString &text) { return code.symbolValues(text, Satz::MitC).size(); });
    encoding(QStringLiteral("Platz prüfen (fits, 48 mm)"), QStringLiteral("%1 passen"), many,
             [](const Code128 &code, const QString &text) { return qsizetype(code.fits(text, LanePlace)); });
    return 0;
}
