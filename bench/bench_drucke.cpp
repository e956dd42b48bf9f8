// Barcodes alone: N Drucke calls on the recording backend, which keeps every
// operation, so this measures the encoder and the bar geometry.
#include "BenchRow.h"
#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <QElapsedTimer>
#include <QGuiApplication>

using namespace tarvel;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const long long count = argc > 1 ? QString::fromLatin1(argv[1]).toLongLong() : 100000;
    auto backend = std::make_unique<platform::RecordingBackend>(300.0);
    auto *rec = backend.get();
    platform::Printer printer(std::move(backend));
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    QElapsedTimer timer;
    timer.start();
    long long bars = 0;
    for (long long i = 0; i < count; ++i) {
        printer.setCurrentX(310);
        printer.setCurrentY(700);
        code.Drucke(printer, QStringLiteral("4711%1").arg(i, 9, 10, QLatin1Char('0')), 680);
        if (i % 1000 == 999) { // keep the recording from growing without end
            bars += rec->ops().size();
            rec->clear();
        }
    }
    const double s = timer.nsecsElapsed() / 1e9;
    bars += rec->ops().size();
    bench::printRow(QStringLiteral("Barcodes allein (Drucke, Aufzeichnung)"), count, s, bench::perItemMs(s, count),
                    bench::peakMegabytes(), QStringLiteral("%1 Striche").arg(bars));
    return 0;
}
