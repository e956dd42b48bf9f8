// The command "tarvel drucken", run as a user runs it: the built program in a
// home of its own, on the built-in PDF printer (its CUPS queues: tests/cups/).
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel::test;
using Pages = QList<QStringList>;

namespace {

QString artikel(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

/// A home of its own for each run: settings, jobs folder, no scheduler.
struct Zuhause
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    int code = -1;
    QString aus, fehler;

    explicit Zuhause(const QByteArray &ini = {})
    {
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        for (const char *name : {"XDG_DOCUMENTS_DIR", "LPDEST", "PRINTER", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        env.insert("CUPS_SERVER", home.filePath("kein-cups.sock"));
        if (ini.isEmpty())
            return;
        QDir().mkpath(home.filePath(".config/Tarvel"));
        QFile f(iniPath());
        if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
            qFatal("no settings written");
    }
    QString jobs() const { return home.filePath("Documents/Tarvel"); }
    QStringList jobFiles() const { return QDir(jobs()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    QString iniPath() const { return home.filePath(".config/Tarvel/Tarvel.ini"); }
    /// \a args are the words after "tarvel", \a input its standard input.
    std::unique_ptr<QProcess> start(const QStringList &args, const QByteArray &input = {})
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(home.path());
        p->start(TARVEL_BIN, args);
        p->write(input);
        p->closeWriteChannel();
        return p;
    }
    void run(const QStringList &args, const QByteArray &input = {})
    {
        const auto p = start(args, input);
        if (!p->waitForFinished(120000))
            return;
        code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -2;
        aus = QString::fromUtf8(p->readAllStandardOutput());
        fehler = QString::fromUtf8(p->readAllStandardError());
    }
};

/// The barcodes of each page, read place by place in the order the run fills
/// them; an empty place reads as an empty text, empty places at the end are left out.
Pages barcodes(const QString &pdf, const QString &art)
{
    QList<QRect> places;
    const auto px = [](double x, double y, double w, double h) { // from twips to pixels at 300 dpi
        const double s = 300 / 1440.0;
        return QRect(int(x * s), int(y * s), int(w * s), int(h * s));
    };
    for (int i = 0; i < (art == "label" ? 1 : art == "laser" ? 16 : 12); ++i)
        places << (art == "label"   ? px(0, 0, 3500, 700)
                   : art == "laser" ? px((i / 8) * 6000 + 100, (i % 8) * 1930 + 680, 3500, 720)
                                    : px(5500, 880 + i * 1200, 5000, 720));
    const PdfPages pages(pdf);
    Pages out;
    for (int page = 1; page <= pages.pageCount(); ++page) {
        const QImage image = pages.render(page, 300);
        QStringList codes;
        for (const QRect &place : places)
            codes << BarcodeDecoder::decodeArea(image, place.intersected(image.rect())).join(u'|');
        while (!codes.isEmpty() && codes.constLast().isEmpty())
            codes.removeLast();
        out << codes;
    }
    return out;
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    // The answer to a whole call: args are the words after "tarvel", input goes to its standard
    // input. Printed: one PDF of the given pages, and its path on standard output. Otherwise a
    // message, and nothing left behind. The stored settings are read, never written.
    void callsAndExitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode"); // -1: the window, offscreen; otherwise no display is set
        QTest::addColumn<QString>("out");  // a part of the output when nothing is printed; empty: none at all
        QTest::addColumn<QString>("err");  // a part of the error output; empty: none at all
        QTest::addColumn<int>("pages");
        const auto row = [](const char *name, QStringList args, const QByteArray &input, int code, const QString &out,
                            const QString &err, int pages = 0) {
            QTest::newRow(name) << args << input << code << out << err << pages;
        };
        const auto drucken = [&](const char *name, const QStringList &args, int code, const QString &err = {}) {
            row(name, QStringList{"drucken"} + args, {}, code, {}, err, code == 0 ? 1 : 0);
        };
        const QString zwei = artikel("zwei.txt"), fehlt = artikel("fehlt.txt");
        const QString seite2 = "tarvel drucken: Option --seiten: Seite 2 gibt es nicht; die Liste aus „%1“ endet "
                               "mit Seite 1. Es wurde nichts gedruckt.\n";
        drucken("list, preis2, one page, PDF printer",
            {"--art", "liste", "--preis2", "liste", "--seiten", "1", "--drucker", "PDF-Datei", zwei}, 0);
        drucken("art unknown", {"--art", "bogen", zwei}, 2,
            "tarvel drucken: Option --art: „bogen“ ist keine Art; erlaubt sind liste, label und laser.\n"
            "Hilfe: tarvel drucken --hilfe\n");
        drucken("art without value", {zwei, "--art"}, 2, "Option --art: der Wert fehlt.");
        drucken("art twice", {"--art", "label", "--art", "laser", zwei}, 2, "Option --art ist mehrfach angegeben");
        drucken("preis2 for labels", {"--art", "label", "--preis2", "ek", zwei}, 2,
            "Option --preis2 gilt nur für --art liste; gewählt ist „label“ (mit --art).");
        drucken("startlabel 17", {"--art", "laser", "--startlabel", "17", zwei}, 2,
            "Option --startlabel: „17“ ist keine Labelnummer von 1 bis 16.");
        drucken("startlabel for the list", {"--art", "liste", "--startlabel", "3", zwei}, 2,
            "Option --startlabel gilt nur für --art laser; gewählt ist „liste“ (mit --art).");
        drucken("kopien 0", {"--art", "label", "--kopien", "0", zwei}, 2, "Option --kopien: „0“ ist keine Anzahl");
        drucken("kopien for the stored list", {"--kopien", "2", zwei}, 2,
            "Option --kopien gilt nur für --art label und laser; gewählt ist „liste“ (im Fenster gespeichert).");
        drucken("seiten backwards", {"--seiten", "3-1", zwei}, 2, "Option --seiten: „3-1“ ist kein Seitenbereich");
        drucken("drucker unknown", {"--drucker", "Etiketten im Keller", zwei}, 1,
            "tarvel drucken: Druckerfehler (Drucker „Etiketten im Keller“ nicht gefunden; vorhanden: „PDF-Datei“)\n");
        drucken("drucker empty", {"--drucker=", zwei}, 2, "Option --drucker: der Druckername fehlt.");
        drucken("unknown option", {"--bogen", "3", zwei}, 2, "tarvel drucken: Unbekannte Option „--bogen“.");
        drucken("no file", {"--art", "liste"}, 2, "tarvel drucken: Keine Artikeldatei angegeben.");
        drucken("two files", {zwei, "noch.txt"}, 2, "Nur eine Artikeldatei ist möglich");
        drucken("missing file", {fehlt}, 1, "tarvel drucken: Datei nicht gefunden (Datei „" + fehlt + "“: ");
        // The check before printing: warnings stop the run unless --trotzdem; errors always do.
        const QString pruefung = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        drucken("ISBN too wide, --trotzdem", {"--art", "laser", "--trotzdem", pruefung + "isbn.txt"}, 1,
            "tarvel drucken: Die Prüfung von „isbn.txt“ ergab 1 Fehler und 0 Warnungen.\nZeile 1, Feld BestellNr: "
            "Fehler: Der Barcode „978-3-16-148410-0“ ist bei Strichbreite 4 zu breit für seinen Platz, auch im "
            "Zeichensatz C (211 Module und Ruhezone in 3600 Twips); er passt bei Strichbreite 3.\nEs wurde nichts "
            "gedruckt; Fehler verhindern den Druck auch mit --trotzdem.\n");
        drucken("spreadsheet export", {"--art", "laser", pruefung + "tabellenexport.txt"}, 1,
            "tarvel drucken: Die Prüfung von „tabellenexport.txt“ ergab 0 Fehler und 4 Warnungen.\n"
            "Zeile 1, Feld EK: Warnung: „EK“ ist kein Preis (eine Überschrift oder verschobene Felder?).\n");
        drucken("spreadsheet export --trotzdem", {"--art", "laser", "--trotzdem", pruefung + "tabellenexport.txt"}, 0,
            "Mit --trotzdem wird trotz der Warnungen gedruckt.\n");
        drucken("trotzdem with value", {"--trotzdem=ja", zwei}, 2, "Option --trotzdem nimmt keinen Wert");
        QFile f(artikel("zwoelf.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray zwoelf = f.readAll(), dreizehn = zwoelf + "Buch;13;B-0013;K1;K2;;1,00;2,00;3,00;R;M13\n";
        row("pipe, laser", {"drucken", "--art", "laser", "/dev/stdin"}, dreizehn + zwoelf, 0, {}, {}, 2);
        row("pipe, list page 2 of 13 records", {"drucken", "--art", "liste", "--seiten", "2", "/dev/stdin"},
            dreizehn, 0, {}, {}, 1);
        row("list page 2 of 12 records", {"drucken", "--art", "liste", "--seiten", "2-3", artikel("zwoelf.txt")}, {},
            1, {}, seite2.arg("zwoelf.txt"));
        row("list page 2 of nothing", {"drucken", "--art", "liste", "--seiten", "2", "/dev/null"}, {}, 1, {},
            seite2.arg("null"));
        row("endless input", {"drucken", "--art", "laser", "/dev/zero"}, {}, 1, {},
            "tarvel drucken: Geräte-E/A-Fehler (Datei „zero“: mehr als 128 MB aus einer Pipe oder einem Gerät");
        row("--help", {"--help"}, {}, 0, "Aufruf:\n  tarvel  ", {});
        row("drucken --hilfe", {"drucken", "--hilfe"}, {}, 0, "Aufruf: tarvel drucken [Optionen] DATEI\n", {});
        row("drucken -h after a bad option", {"drucken", "--art", "bogen", "-h"}, {}, 0,
            "Rückgabewert: 0 gedruckt; 1 Befunde der Prüfung", {});
        row("--version", {"--version"}, {}, 0, "tarvel 1.0\n", {});
        row("druck x", {"druck", "x"}, {}, 2, {}, "tarvel: Unbekannter Aufruf „druck x“.\n\nAufruf:\n");
        row("--automation x", {"--automation", "x"}, {}, 2, {}, "Unbekannter Aufruf");
        row("window, no display", {}, {}, 1, {}, "tarvel: Kein Bildschirm gefunden");
        row("window, offscreen", {}, {}, -1, {}, "Hauptfenster gezeigt");
    }
    void callsAndExitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, pages);
        // Stored as a person might leave it, changing no default: a comment, odd spelling.
        const QByteArray ini("; von Hand\n[system]\npreis1 = 3\nDatei=/tmp/x.txt\n");
        Zuhause z(ini);
        if (exitCode < 0) { // the window: it runs on once shown, until the test ends it
            z.env.insert("QT_QPA_PLATFORM", "offscreen");
            z.env.insert("QT_LOGGING_RULES", "tarvel.start.debug=true");
            const auto p = z.start(args);
            QString fehler;
            QTRY_VERIFY_WITH_TIMEOUT((fehler += QString::fromUtf8(p->readAllStandardError())).contains(err), 30000);
            QCOMPARE(p->state(), QProcess::Running);
            p->kill();
            p->waitForFinished();
            return;
        }
        z.run(args, input);
        QCOMPARE(z.code, exitCode);
        QVERIFY2(err.isEmpty() ? z.fehler.isEmpty() : z.fehler.contains(err), qPrintable(z.fehler));
        const QStringList jobs = z.jobFiles();
        QCOMPARE(jobs.size(), pages > 0 ? 1 : 0);
        if (pages > 0) {
            QCOMPARE(z.aus, QDir(z.jobs()).filePath(jobs.first()) + u'\n');
            QVERIFY2(QRegularExpression("/Tarvel-\\d{8}-\\d{6}-\\d+\\.pdf\n$").match(z.aus).hasMatch(), qPrintable(z.aus));
            QCOMPARE(PdfPages(z.aus.trimmed()).pageCount(), pages);
        } else {
            QVERIFY2(out.isEmpty() ? z.aus.isEmpty() : z.aus.contains(out), qPrintable(z.aus));
        }
        QFile f(z.iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ini);
        QCOMPARE(QDir(QFileInfo(f).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarvel.ini"});
    }

    // What is printed, from the options or else from the choices the window stored: the
    // barcodes of each page decode, read place by place as the kind lays them out (art).
    void printedPages_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("art");
        QTest::addColumn<Pages>("pages");
        QTest::addColumn<QStringList>("present"); // in the PDF's text
        QTest::addColumn<QString>("absent");
        const auto row = [](const char *name, const QByteArray &ini, const QStringList &args, const char *art,
                            const Pages &pages, const QStringList &present, const QString &absent = {}) {
            QTest::newRow(name) << ini << args << art << pages << present << absent;
        };
        const QString zwei = artikel("zwei.txt");
        const Pages liste{{"B-0001", "B-0002"}}, labels{{"B-0001"}, {"B-0002"}};
        QStringList sechzehn;
        for (int i = 1; i <= 16; ++i)
            sechzehn << QStringLiteral("B-%1").arg(i, 4, 10, QLatin1Char('0'));
        row("labels, VK in DM", {}, {"--art", "label", "--preis1", "vk", "--waehrung", "DM", zwei}, "label", labels,
            {"11,90 DM", "12,90 DM"});
        row("laser, 17 records", {}, {"--art", "laser", artikel("siebzehn.txt")}, "laser",
            {sechzehn, {"B-0017"}}, {"MATCH17"});
        row("laser from label 16, storage bin", {}, {"--art", "laser", "--startlabel", "16", "--lagerfach", zwei},
            "laser", {QStringList(15, QString()) << "B-0001", {"B-0002"}}, {"Lagerfach: R01", "Lagerfach: R02"});
        row("list, two prices, umlauts", {},
            {"--art", "liste", "--preis1", "ek", "--preis2", "liste", "--waehrung", "EUR", artikel("beispiel.txt")},
            "liste",
            {{"3-12-3456", "3-499-1234", "K-2027-01", "SP-0815", "3-7632-55", "P-A4-500", "3-423-0123", "KT-1001",
              "3-596-2222", "ST-HB-12", "3-257-3333", "3-442-4444"},
             {"GL-30", "3-518-5555"}},
            {"EK-Preis: 12,50 EUR Liste: 19,90 EUR", "Grüße aus Österreich"});
        row("nothing stored: list, no prices", {}, {zwei}, "liste", liste, {"Barcode-Liste vom"}, "Preis");
        row("Art=2: laser", "[System]\nArt=2\n", {zwei}, "laser", liste, {"MATCH2"}, "Barcode-Liste");
        row("Preis1=1 on labels", "[System]\nArt=1\nPreis1=1\n", {zwei}, "label", labels, {"11,90 €"}, "1,50");
        row("list with both prices", "[system]\nart=0\npreis1=0\npreis2=2\n", {zwei}, "liste", liste,
            {"EK-Preis: 1,50 € Liste: 12,95 €"}, "11,90");
        row("Art=7 is no kind: list", "[System]\nArt=7\n", {zwei}, "liste", liste, {"Barcode-Liste vom"}, "Preis");
        row("Preis1=x is no price: none", "[System]\nArt=1\nPreis1=x\n", {zwei}, "label", labels, {"MATCH1"}, "€");
    }
    void printedPages()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, args);
        QFETCH(QString, art);
        QFETCH(Pages, pages);
        QFETCH(QStringList, present);
        QFETCH(QString, absent);
        Zuhause z(ini);
        z.run(QStringList{"drucken"} + args);
        QCOMPARE(z.code, 0);
        QCOMPARE(barcodes(z.aus.trimmed(), art), pages);
        const QString text = PdfPages(z.aus.trimmed()).text().simplified();
        for (const QString &t : present)
            QVERIFY2(text.contains(t), qPrintable(t + " fehlt in: " + text.left(400)));
        QVERIFY2(absent.isEmpty() || !text.contains(absent), qPrintable(absent + " steht in: " + text.left(400)));
    }

    void progressOnATerminal()
    {
        const QString script = QStandardPaths::findExecutable("script");
        if (script.isEmpty())
            QSKIP("script (util-linux) is not installed: no terminal to run in");
        Zuhause z;
        QProcess p;
        p.setProcessEnvironment(z.env);
        p.start(script, {"-qec", QStringLiteral("'%1' drucken --art laser '%2'").arg(TARVEL_BIN, artikel("siebzehn.txt")),
                         "/dev/null"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString terminal = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(terminal.startsWith("\r0/17 Sätze"), qPrintable(terminal));
        QVERIFY2(terminal.contains("\r17/17 Sätze\r\nLaserLabels erfolgreich gedruckt.\r\n" + z.jobs() + "/Tarvel-"),
                 qPrintable(terminal));
    }

    // A stop signal ends the run with nothing printed: while it prints, or while it waits for
    // input from a FIFO that has no writer yet, or from one that wrote half a record and waits.
    void stopSignals_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<bool>("fifo"); // else a long file, stopped once its job has begun
        QTest::addColumn<QByteArray>("written"); // to the FIFO by a writer that then waits; none when empty
        QTest::newRow("SIGTERM while printing") << "TERM" << false << QByteArray();
        QTest::newRow("SIGTERM, no writer") << "TERM" << true << QByteArray();
        QTest::newRow("Ctrl+C, half a record written") << "INT" << true << QByteArray("Buch;1;B-0001;eins");
    }
    void stopSignals()
    {
        QFETCH(QString, signal);
        QFETCH(bool, fifo);
        QFETCH(QByteArray, written);
        Zuhause z;
        const QString eingang = z.home.filePath("eingang");
        QFile datei(eingang);
        if (fifo) {
            QCOMPARE(QProcess::execute("mkfifo", {eingang}), 0);
        } else {
            QVERIFY(datei.open(QIODevice::WriteOnly));
            for (int i = 1; i <= 20000; ++i)
                datei.write(QStringLiteral("Buch;%1;B-%1;Kurz eins;Kurz zwei;;1,00;2,00;3,00;R1;M%1\r\n").arg(i).toLatin1());
            datei.close();
        }
        std::unique_ptr<QProcess> p = z.start({"drucken", "--art", fifo ? "laser" : "liste", eingang});
        QVERIFY(p->waitForStarted());
        const auto wartet = [&] { // holds the FIFO open, or has begun its job: its folder is made with the first page
            for (const QFileInfo &fd : QDir(QStringLiteral("/proc/%1/fd").arg(p->processId())).entryInfoList(QDir::System))
                if (fifo && fd.symLinkTarget() == QFileInfo(eingang).canonicalFilePath())
                    return true;
            return !fifo && QFileInfo::exists(z.jobs());
        };
        QTRY_VERIFY_WITH_TIMEOUT(wartet() || p->state() == QProcess::NotRunning, 60000);
        QVERIFY2(p->state() == QProcess::Running, "the run ended before it could be stopped");
        if (!written.isEmpty()) {
            QVERIFY(datei.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            QCOMPARE(datei.write(written), written.size());
        }
        QCOMPARE(QProcess::execute("kill", {"-" + signal, QString::number(p->processId())}), 0);
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p->readAllStandardError()),
                 "tarvel drucken: Der Druck von „eingang“ wurde abgebrochen; nichts davon wurde gedruckt.\n");
        QCOMPARE(z.jobFiles(), QStringList());
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
