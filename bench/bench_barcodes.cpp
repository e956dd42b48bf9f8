// Draws N barcodes of 13 characters, each with two text lines, into one PDF job
// and reports barcodes per second, the PDF's size and the peak memory.
#include "barcode/Code128.h"
#include "platform/PdfBackend.h"
#include "platform/MemoryTuning.h"
#include "platform/Printer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tarvel;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepPageBuffers(); // as the program does at start
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    platform::PdfBackend::setJobsFolder(dir.path());

    QElapsedTimer timer;
    timer.start();
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    printer.setFontName(QStringLiteral("Arial"));
    for (int i = 0; i < count; ++i) {
        const int place = i % 24;
        const double x = 310 + (place / 8) * 3700, y = 700 + (place % 8) * 1930;
        const QString number = QStringLiteral("4711%1").arg(i, 9, 10, QLatin1Char('0'));
        printer.setCurrentX(x);
        printer.setCurrentY(y);
        code.Drucke(printer, number, 680);
        printer.setCurrentY(y + 710);
        printer.setCurrentX(x);
        printer.setFontSize(10);
        printer.setFontBold(true);
        printer.Print(number);
        printer.setCurrentX(x);
        printer.setFontSize(8);
        printer.setFontBold(false);
        printer.Print(QStringLiteral("Weißbier Flaschengärung"));
        if (place == 23)
            printer.NewPage();
    }
    const QString path = printer.EndDoc();
    const double seconds = timer.nsecsElapsed() / 1e9;
    struct rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("barcodes %d  time %.3f s  %.0f barcodes/s  pdf %.1f KB (%.0f bytes/barcode)  peak %.1f MB\n", count,
                seconds, count / seconds, QFileInfo(path).size() / 1024.0, double(QFileInfo(path).size()) / count,
                usage.ru_maxrss / 1024.0);
    return 0;
}
