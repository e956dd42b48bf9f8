// The preview of the window's laser or list run over a long article file, as
// "Vorschau" opens it: the first page in view; the check and the page count in
// the background; a jump to the last page. Peak memory of the whole: the
// preview keeps a few pages, never the run.
#include "ArticleFile.h"
#include "BenchRow.h"
#include "mainwindow/VorschauSeiten.h"
#include "platform/MemoryTuning.h"
#include "runs/Vorschau.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvel;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepPageBuffers(); // as the program does at start
    QApplication app(argc, argv);
    QFontDatabase::families(); // the window has loaded it before any preview
    if (argc != 3)
        qFatal("bench_vorschau laser|liste ANZAHL");
    const QString kind = QString::fromLatin1(argv[1]);
    const int count = QString::fromLatin1(argv[2]).toInt();
    const runs::Art art = kind == QLatin1String("liste") ? runs::Art::Liste : runs::Art::Laser;
    QTemporaryDir dir;
    const QString file = bench::writeArticles(dir.path(), count);

    const runs::DateiDruck::Auswahl auswahl = bench::typicalChoice();

    // As Vorschau_Click: the dialog with the first page in view; the check and the count follow in the background.
    QElapsedTimer timer;
    timer.start();
    auto vorschau = std::make_shared<const runs::Vorschau>(art, file, auswahl, qint16(0), runs::Befunde(),
                                                           platform::PageSetup::pdfDefault());
    mainwindow::VorschauSeiten seiten(vorschau);
    seiten.resize(700, 900);
    seiten.show();
    seiten.grab(); // draws the page in view
    const double ersteSeite = timer.nsecsElapsed() / 1e9;
    if (seiten.seitenBild().isNull())
        qFatal("no first page");
    if (!QTest::qWaitFor([&] { return seiten.geprueft(); }, 600000))
        qFatal("not checked");
    const double geprueft = timer.nsecsElapsed() / 1e9;
    if (!QTest::qWaitFor([&] { return seiten.gezaehlt(); }, 600000))
        qFatal("pages not counted");
    const double gezaehlt = timer.nsecsElapsed() / 1e9;
    timer.start();
    seiten.setCurrentPage(seiten.pageCount());
    seiten.grab();
    const double letzte = timer.nsecsElapsed() / 1e9;

    const QString was = QStringLiteral("Vorschau %1").arg(kind);
    bench::printRow(was + QStringLiteral(": erste Seite gezeigt"), count, ersteSeite, bench::perItemMs(ersteSeite, count),
                    bench::peakMegabytes(), QStringLiteral("Ziel: unter 1 s"));
    bench::printRow(was + QStringLiteral(": geprüft, markiert"), count, geprueft, bench::perItemMs(geprueft, count),
                    bench::peakMegabytes(), QStringLiteral("%1 Befunde").arg(seiten.pruefung().befunde.size()));
    bench::printRow(was + QStringLiteral(": Seiten gezählt"), count, gezaehlt, bench::perItemMs(gezaehlt, count),
                    bench::peakMegabytes(), QStringLiteral("%1 Seiten").arg(seiten.pageCount()));
    bench::printRow(was + QStringLiteral(": Sprung zur letzten Seite"), count, letzte, bench::perItemMs(letzte, count),
                    bench::peakMegabytes(), QStringLiteral("Seite %1; Spitze Ziel: unter 150 MB").arg(seiten.currentPage()));
    return 0;
}
