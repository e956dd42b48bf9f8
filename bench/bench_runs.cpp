// Writes an article file and times the laser run and the list run of the main
// window to the PDF printer, for 1,000 and 10,000 records (or the counts given):
// labels per second, peak memory and the PDF's size; and the check before
// printing over the same file, with its share of the run's time.
#include "ArticleFile.h"
#include "BenchRow.h"
#include "barcode/Code128.h"
#include "runs/DateiDruck.h"
#include "runs/Pruefung.h"
#include "platform/PdfBackend.h"
#include "platform/MemoryTuning.h"
#include "platform/Printer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tarvel;

namespace {

double peakMb()
{
    struct rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

enum class Kind { Laser, Liste, Label };

void run(const char *name, const QString &file, int count, Kind kind, bool row)
{
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    runs::DateiDruck druck(printer, code);
    // As in the window: the records are counted first, and progress is reported per record.
    qint64 reported = 0;
    druck.setFortschritt([&reported](qint64 done, qint64) {
        reported = done;
        return true;
    });
    const runs::DateiDruck::Auswahl auswahl = bench::typicalChoice();

    // As the window and "tarvel drucken" do: the whole file is checked first, and its count is the run's.
    QElapsedTimer timer;
    timer.start();
    runs::Pruefung pruefung(printer, code);
    const runs::Art art = kind == Kind::Laser ? runs::Art::Laser : kind == Kind::Liste ? runs::Art::Liste : runs::Art::Label;
    const auto befunde = pruefung.pruefen(art, file, auswahl);
    const double checkSeconds = timer.nsecsElapsed() / 1e9;
    if (pruefung.saetze() != count)
        qFatal("the check read %lld of %d records", pruefung.saetze(), count);
    druck.setGesamt(pruefung.saetze());

    timer.start();
    const auto result = druck.Drucken(art, file, auswahl);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!result.ok() || reported != count)
        qFatal("%s", qPrintable(result.meldung));
    const qint64 size = QFileInfo(result.ziel).size();
    if (row) {
        bench::printRow(QStringLiteral("Fenster-Lauf %1 → PDF").arg(QString::fromLatin1(name)), count, seconds,
                        bench::perItemMs(seconds, count), bench::peakMegabytes(),
                        QStringLiteral("%1 KB PDF (%2 B je Satz)").arg(size / 1024).arg(size / count));
        bench::printRow(QStringLiteral("Prüfung vor dem Druck (%1)").arg(QString::fromLatin1(name)), count,
                        checkSeconds, bench::perItemMs(checkSeconds, count), bench::peakMegabytes(),
                        QStringLiteral("%1 % der Zeit des Laufs, %2 Befunde")
                            .arg(100.0 * checkSeconds / seconds, 0, 'f', 1)
                            .arg(befunde.size()));
        QFile::remove(result.ziel);
        return;
    }
    std::printf("%-6s %6d records  %7.3f s  %8.0f labels/s  pdf %8.1f KB  peak %6.1f MB  check %6.3f s (%.1f %%)\n",
                name, count, seconds, count / seconds, size / 1024.0, peakMb(), checkSeconds,
                100.0 * checkSeconds / seconds);
    QFile::remove(result.ziel);
}

// One record whose first short text is \a megabytes MB long, checked and printed on a laser sheet:
// the text costs what its label shows of it.
void langeZeile(const QString &folder, int megabytes)
{
    const QString path = folder + QStringLiteral("/lang.txt");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write("Buch;100001;B-0000001;");
    f.write(QByteArray(qsizetype(megabytes) * 1024 * 1024, 'W'));
    f.write(";Zwei;;5,50;9,90;9,95;R1;MATCH\r\n");
    f.close();

    QElapsedTimer timer;
    timer.start();
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    runs::DateiDruck::Auswahl auswahl;
    auswahl.preis1 = sheets::Preis::VK;
    runs::Pruefung pruefung(printer, code);
    const auto befunde = pruefung.pruefen(runs::Art::Laser, path, auswahl);
    runs::DateiDruck druck(printer, code);
    const auto result = druck.LaserDrucken(path, auswahl);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!result.ok())
        qFatal("%s", qPrintable(result.meldung));
    bench::printRow(QStringLiteral("Zeile von %1 MB: Prüfung und Laser-Lauf → PDF").arg(megabytes), 1, seconds,
                    bench::perItemMs(seconds, 1), bench::peakMegabytes(),
                    QStringLiteral("%1 KB PDF, %2 Hinweis(e); Ziel: unter 150 MB und 5 s")
                        .arg(QFileInfo(result.ziel).size() / 1024)
                        .arg(befunde.size()));
    QFile::remove(result.ziel);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepPageBuffers(); // as the program does at start
    QGuiApplication app(argc, argv);
    // The process's font database is loaded once, at its start: the window has it before any run. Loaded
    // here, its cost (some 35 M instructions) falls on neither the check nor the run.
    QFontDatabase::families();
    QTemporaryDir dir;
    platform::PdfBackend::setJobsFolder(dir.path());
    // "bench_runs lang MB": a record with a text line of MB megabytes.
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("lang")) {
        langeZeile(dir.path(), QString::fromLatin1(argv[2]).toInt());
        return 0;
    }
    // "bench_runs laser|liste|label COUNT": one run in this process, as a row of bench/run.
    if (argc == 3 && !QString::fromLatin1(argv[1]).front().isDigit()) {
        const QString kind = QString::fromLatin1(argv[1]);
        const int count = QString::fromLatin1(argv[2]).toInt();
        const QString file = bench::writeArticles(dir.path(), count);
        run(argv[1], file, count,
            kind == QLatin1String("laser") ? Kind::Laser : kind == QLatin1String("liste") ? Kind::Liste : Kind::Label,
            true);
        return 0;
    }
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QString::fromLatin1(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {1000, 10000};

    for (int count : counts) {
        const QString file = bench::writeArticles(dir.path(), count);
        run("laser", file, count, Kind::Laser, false);
        run("liste", file, count, Kind::Liste, false);
    }
    return 0;
}
