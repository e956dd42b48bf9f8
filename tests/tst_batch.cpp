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
        for (const char *name : {"XDG_DOCUMENTS_DIR", "LPDEST", "PRINTER", "QT_QPA_PLATFORM"})
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
    std::unique_ptr<QProcess> start(const QStringList &args)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(home.path());
        p->start(TARVEL_BIN, QStringList{"drucken"} + args);
        return p;
    }
    void run(const QStringList &args)
    {
        const auto p = start(args);
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

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("B-%1").arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    // Printed: one PDF, and its path on standard output. Otherwise a message,
    // and nothing left behind. The stored settings are read, never written.
    void optionsAndExitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // a part of the error output; empty: none at all
        const QString zwei = artikel("zwei.txt"), fehlt = artikel("fehlt.txt");
        const auto row = [&](const char *name, QStringList args, int code, const QString &message = {}) {
            QTest::newRow(name) << args << code << message;
        };
        row("art liste, preis2", {"--art", "liste", "--preis2", "liste", zwei}, 0);
        row("art unknown", {"--art", "bogen", zwei}, 2,
            "tarvel drucken: Option --art: „bogen“ ist keine Art; erlaubt sind liste, label und laser.\n"
            "Hilfe: tarvel drucken --hilfe\n");
        row("art without value", {zwei, "--art"}, 2, "Option --art: der Wert fehlt.");
        row("art twice", {"--art", "label", "--art", "laser", zwei}, 2, "Option --art ist mehrfach angegeben");
        row("preis1 unknown", {"--preis1", "teuer", zwei}, 2, "Option --preis1: „teuer“ ist kein Preis");
        row("preis2 for labels", {"--art", "label", "--preis2", "ek", zwei}, 2,
            "Option --preis2 gilt nur für --art liste; gewählt ist „label“ (mit --art).");
        row("lagerfach with value", {"--lagerfach=ja", zwei}, 2, "Option --lagerfach nimmt keinen Wert");
        row("startlabel 17", {"--art", "laser", "--startlabel", "17", zwei}, 2,
            "Option --startlabel: „17“ ist keine Labelnummer von 1 bis 16.");
        row("startlabel text", {"--art", "laser", "--startlabel", "x", zwei}, 2, "„x“ ist keine Labelnummer");
        row("startlabel for the list", {"--art", "liste", "--startlabel", "3", zwei}, 2,
            "Option --startlabel gilt nur für --art laser; gewählt ist „liste“ (mit --art).");
        row("kopien 0", {"--art", "label", "--kopien", "0", zwei}, 2, "Option --kopien: „0“ ist keine Anzahl");
        row("kopien for the stored list", {"--kopien", "2", zwei}, 2,
            "Option --kopien gilt nur für --art label und laser; gewählt ist „liste“ (im Fenster gespeichert).");
        row("seiten one page", {"--seiten", "1", zwei}, 0);
        row("seiten backwards", {"--seiten", "3-1", zwei}, 2, "Option --seiten: „3-1“ ist kein Seitenbereich");
        row("seiten text", {"--seiten", "a-b", zwei}, 2, "„a-b“ ist kein Seitenbereich");
        row("seiten for labels", {"--art", "label", "--seiten", "1-2", zwei}, 2, "Option --seiten gilt nur für --art liste");
        row("drucker PDF-Datei", {"--drucker", "PDF-Datei", zwei}, 0);
        row("drucker unknown", {"--drucker", "Etiketten im Keller", zwei}, 1,
            "tarvel drucken: Druckerfehler (Drucker „Etiketten im Keller“ nicht gefunden; vorhanden: „PDF-Datei“)\n");
        row("drucker empty", {"--drucker=", zwei}, 2, "Option --drucker: der Druckername fehlt.");
        row("unknown option", {"--bogen", "3", zwei}, 2, "tarvel drucken: Unbekannte Option „--bogen“.");
        row("no file", {"--art", "liste"}, 2, "tarvel drucken: Keine Artikeldatei angegeben.");
        row("two files", {zwei, "noch.txt"}, 2, "Nur eine Artikeldatei ist möglich");
        row("missing file", {fehlt}, 1, "tarvel drucken: Datei nicht gefunden (Datei „" + fehlt + "“: ");
        row("folder as file", {TARVEL_TEST_DATA}, 1, "Fehler beim Zugriff auf Pfad/Datei (Datei „");
        // Six good records come first: none of them is delivered.
        row("bad record", {"--art", "laser", artikel("fehler_zeile7.txt")}, 1,
            "tarvel drucken: Die Prüfung von „fehler_zeile7.txt“ ergab 1 Fehler und 0 Warnungen.\nZeile 7, Feld "
            "BestellNr: Fehler: Zeichen \"ä\" an Stelle 2 kann nicht im Barcode stehen.\nEs wurde nichts gedruckt; "
            "Fehler verhindern den Druck auch mit --trotzdem.\n");
        // The check before printing: warnings stop the run unless --trotzdem; errors always do.
        const QString pruefung = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        row("spreadsheet export", {"--art", "laser", pruefung + "tabellenexport.txt"}, 1,
            "tarvel drucken: Die Prüfung von „tabellenexport.txt“ ergab 0 Fehler und 4 Warnungen.\n"
            "Zeile 1, Feld EK: Warnung: „EK“ ist kein Preis (eine Überschrift oder verschobene Felder?).\n");
        row("spreadsheet export, shifted line", {"--art", "liste", pruefung + "tabellenexport.txt"}, 1,
            "Zeile 2, Feld 12: Warnung: Die Zeile hat mehr als elf Felder");
        row("spreadsheet export --trotzdem", {"--art", "laser", "--trotzdem", pruefung + "tabellenexport.txt"}, 0,
            "Mit --trotzdem wird trotz der Warnungen gedruckt.\n");
        row("comma separated", {"--art", "label", pruefung + "komma.txt"}, 1,
            "Zeile 1, Feld Bereich: Warnung: Keine Zeile der Datei enthält „;“, diese aber „,“");
        row("ISBN too wide, --trotzdem", {"--art", "laser", "--trotzdem", pruefung + "isbn.txt"}, 1,
            "Zeile 1, Feld BestellNr: Fehler: Der Barcode „978-3-16-148410-0“ ist bei Strichbreite 4 zu breit für "
            "seinen Platz, auch im Zeichensatz C (211 Module und Ruhezone in 3600 Twips); er passt bei "
            "Strichbreite 3.\nEs wurde nichts gedruckt; Fehler verhindern den Druck auch mit --trotzdem.\n");
        row("trotzdem with value", {"--trotzdem=ja", zwei}, 2, "Option --trotzdem nimmt keinen Wert");
    }
    void optionsAndExitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        // Stored as a person might leave it, changing no default: a comment, odd spelling.
        const QByteArray ini("; von Hand\n[system]\npreis1 = 3\nDatei=/tmp/x.txt\n");
        Zuhause z(ini);
        z.run(args);
        QCOMPARE(z.code, exitCode);
        QVERIFY2(message.isEmpty() ? z.fehler.isEmpty() : z.fehler.contains(message), qPrintable(z.fehler));
        const QStringList jobs = z.jobFiles();
        QCOMPARE(jobs.size(), exitCode == 0 ? 1 : 0);
        QCOMPARE(z.aus, exitCode == 0 ? QDir(z.jobs()).filePath(jobs.first()) + u'\n' : QString());
        QVERIFY2(exitCode || QRegularExpression("/Tarvel-\\d{8}-\\d{6}-\\d+\\.pdf\n$").match(z.aus).hasMatch(),
                 qPrintable(z.aus));
        QFile f(z.iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ini);
        QCOMPARE(QDir(QFileInfo(f).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarvel.ini"});
    }

    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--hilfe") << QStringList{"--hilfe"};
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h after a bad option") << QStringList{"--art", "bogen", "-h"};
    }
    void help()
    {
        QFETCH(QStringList, args);
        Zuhause z;
        z.run(args);
        QCOMPARE(z.code, 0);
        QCOMPARE(z.fehler, QString());
        QVERIFY(z.aus.startsWith("Aufruf: tarvel drucken [Optionen] DATEI\n"));
        for (const char *option : {"--art liste|label|laser", "--preis1 ek|vk|liste|leer", "--preis2 ek|vk|liste|leer",
                                   "--waehrung TEXT", "--lagerfach", "--startlabel N", "--kopien N",
                                   "--seiten VON-BIS", "--drucker NAME", "-h, --hilfe, --help",
                                   "Rückgabewert: 0 gedruckt; 1 Befunde der Prüfung"})
            QVERIFY2(z.aus.contains(QString::fromUtf8(option)), option);
        QVERIFY(!QFileInfo::exists(z.jobs()));
        QVERIFY(!QFileInfo::exists(z.home.filePath(".config/Tarvel"))); // nothing stored, nothing created
    }

    void printedBarcodesDecode_data()
    {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Pages>("pages");
        QTest::addColumn<QStringList>("texts"); // found in the PDF's text
        const QString zwei = artikel("zwei.txt");
        QTest::newRow("labels, VK in DM") << "label" << QStringList{"--preis1", "vk", "--waehrung", "DM", zwei}
                                          << Pages{{"B-0001"}, {"B-0002"}} << QStringList{"11,90 DM", "12,90 DM"};
        QTest::newRow("laser, 17 records") << "laser" << QStringList{artikel("siebzehn.txt")}
                                           << Pages{numbers(1, 16), {"B-0017"}} << QStringList{"MATCH17"};
        QTest::newRow("laser from label 16, storage bin")
            << "laser" << QStringList{"--startlabel", "16", "--lagerfach", zwei}
            << Pages{QStringList(15, QString()) << "B-0001", {"B-0002"}} << QStringList{"Lagerfach: R01", "Lagerfach: R02"};
        QTest::newRow("list, two prices, umlauts")
            << "liste" << QStringList{"--preis1", "ek", "--preis2", "liste", "--waehrung", "EUR", artikel("beispiel.txt")}
            << Pages{{"3-12-3456", "3-499-1234", "K-2027-01", "SP-0815", "3-7632-55", "P-A4-500", "3-423-0123", "KT-1001",
                      "3-596-2222", "ST-HB-12", "3-257-3333", "3-442-4444"},
                     {"GL-30", "3-518-5555"}}
            << QStringList{"EK-Preis: 12,50 EUR Liste: 19,90 EUR", "Grüße aus Österreich"};
        QTest::newRow("list, pages 2 to 3") << "liste" << QStringList{"--seiten", "2-3", artikel("vierzig.txt")}
                                            << Pages{numbers(13, 24), numbers(25, 36)}
                                            << QStringList{"Seite 2", "Seite 3"};
    }
    void printedBarcodesDecode()
    {
        QFETCH(QString, art);
        QFETCH(QStringList, args);
        QFETCH(Pages, pages);
        QFETCH(QStringList, texts);
        Zuhause z;
        z.run(QStringList{"--art", art} + args);
        QCOMPARE(z.code, 0);
        QCOMPARE(barcodes(z.aus.trimmed(), art), pages);
        const QString text = PdfPages(z.aus.trimmed()).text().simplified();
        for (const QString &t : texts)
            QVERIFY2(text.contains(t), qPrintable(t + " fehlt in: " + text.left(400)));
    }

    void storedChoicesAreRead_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("pageCount");   // of zwei.txt: list 1, labels 2, laser 1
        QTest::addColumn<QString>("present"); // in the PDF's text
        QTest::addColumn<QString>("absent");
        QTest::newRow("nothing stored: list, no prices") << QByteArray() << 1 << "Barcode-Liste vom" << "Preis";
        QTest::newRow("Art=2: laser") << QByteArray("[System]\nArt=2\n") << 1 << "MATCH2" << "Barcode-Liste";
        QTest::newRow("Preis1=1 on labels") << QByteArray("[System]\nArt=1\nPreis1=1\n") << 2 << "11,90 €" << "1,50";
        QTest::newRow("list with both prices") << QByteArray("[system]\nart=0\npreis1=0\npreis2=2\n") << 1
                                               << "EK-Preis: 1,50 € Liste: 12,95 €" << "11,90";
        QTest::newRow("Art=7 is no kind: list") << QByteArray("[System]\nArt=7\n") << 1 << "Barcode-Liste vom" << "Preis";
        QTest::newRow("Art=99999 is no kind: list") << QByteArray("[System]\nArt=99999\n") << 1 << "Barcode-Liste" << "Preis";
        QTest::newRow("Preis1=x is no price: none") << QByteArray("[System]\nArt=1\nPreis1=x\n") << 2 << "MATCH1" << "€";
    }
    void storedChoicesAreRead()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, pageCount);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        Zuhause z(ini);
        z.run({artikel("zwei.txt")});
        QCOMPARE(z.code, 0);
        const PdfPages pdf(z.aus.trimmed());
        QCOMPARE(pdf.pageCount(), pageCount);
        const QString text = pdf.text().simplified();
        QVERIFY2(text.contains(present) && !text.contains(absent), qPrintable(text));
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

    void stopSignalCancelsTheJob()
    {
        Zuhause z;
        QFile file(z.home.filePath("viele.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 20000; ++i)
            file.write(QStringLiteral("Buch;%1;B-%1;Kurz eins;Kurz zwei;;1,00;2,00;3,00;R1;M%1\r\n").arg(i).toLatin1());
        file.close();
        const auto p = z.start({"--art", "liste", file.fileName()});
        // Stopped once the job has begun: its folder is made with the first page.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(z.jobs()) || p->state() == QProcess::NotRunning, 60000);
        QVERIFY2(p->state() == QProcess::Running, "the run ended before it could be stopped");
        p->terminate();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p->readAllStandardError()),
                 "tarvel drucken: Der Druck von „viele.txt“ wurde abgebrochen; nichts davon wurde gedruckt.\n");
        QCOMPARE(z.jobFiles(), QStringList());
    }

    // The answer to a whole call: args are the words after "tarvel", input goes to its standard
    // input, pages counts the PDF's pages when one is printed.
    void callsAndInputs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode"); // -1: the window, offscreen; otherwise no display is set
        QTest::addColumn<QString>("out");      // a part of the output
        QTest::addColumn<QString>("err");      // a part of the error output; empty: none at all
        QTest::addColumn<int>("pages");
        QFile f(artikel("zwoelf.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray zwoelf = f.readAll(), dreizehn = zwoelf + "Buch;13;B-0013;K1;K2;;1,00;2,00;3,00;R;M13\n";
        const auto row = [](const char *name, QStringList args, const QByteArray &input, int code, const QString &out,
                            const QString &err, int pages = 0) {
            QTest::newRow(name) << args << input << code << out << err << pages;
        };
        const QString seite2 = "tarvel drucken: Option --seiten: Seite 2 gibt es nicht; die Liste aus „%1“ endet "
                               "mit Seite 1. Es wurde nichts gedruckt.\n";
        row("pipe, laser", {"drucken", "--art", "laser", "/dev/stdin"}, dreizehn + zwoelf, 0, {}, {}, 2);
        row("pipe, list pages 2 to 4 of 37", {"drucken", "--art", "liste", "--seiten", "2-4", "/dev/stdin"},
            dreizehn + zwoelf + zwoelf, 0, {}, {}, 3);
        row("pipe, list page 2 of 13 records", {"drucken", "--art", "liste", "--seiten", "2", "/dev/stdin"},
            dreizehn, 0, {}, {}, 1);
        row("list page 2 of 12 records", {"drucken", "--art", "liste", "--seiten", "2-3", artikel("zwoelf.txt")}, {},
            1, {}, seite2.arg("zwoelf.txt"));
        row("list page 2 of nothing", {"drucken", "--art", "liste", "--seiten", "2", "/dev/null"}, {}, 1, {},
            seite2.arg("null"));
        row("endless input", {"drucken", "--art", "laser", "/dev/zero"}, {}, 1, {},
            "tarvel drucken: Geräte-E/A-Fehler (Datei „zero“: mehr als 128 MB aus einer Pipe oder einem Gerät");
        row("--help", {"--help"}, {}, 0, "Aufruf:\n  tarvel  ", {});
        row("--version", {"--version"}, {}, 0, "tarvel 1.0\n", {});
        row("hilfe", {"hilfe"}, {}, 2, {}, "tarvel: Unbekannter Aufruf „hilfe“.\n\nAufruf:\n");
        row("druck x", {"druck", "x"}, {}, 2, {}, "tarvel: Unbekannter Aufruf „druck x“.");
        row("--automation x", {"--automation", "x"}, {}, 2, {}, "Unbekannter Aufruf");
        row("window, no display", {}, {}, 1, {}, "tarvel: Kein Bildschirm gefunden");
        row("window, offscreen", {}, {}, -1, {}, "Hauptfenster gezeigt");
    }
    void callsAndInputs()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, pages);
        Zuhause z;
        QProcessEnvironment env = z.env;
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        if (exitCode < 0)
            env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "tarvel.start.debug=true");
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TARVEL_BIN), args);
        p.write(input);
        p.closeWriteChannel();
        if (exitCode < 0) { // the window: it runs on once shown, until the test ends it
            QString fehler;
            QTRY_VERIFY_WITH_TIMEOUT((fehler += QString::fromUtf8(p.readAllStandardError())).contains(err), 30000);
            QCOMPARE(p.state(), QProcess::Running);
            p.kill();
            p.waitForFinished();
            return;
        }
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), exitCode);
        const QString aus = QString::fromUtf8(p.readAllStandardOutput());
        const QString fehler = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(aus.contains(out), qPrintable(aus));
        QVERIFY2(err.isEmpty() ? fehler.isEmpty() : fehler.contains(err), qPrintable(fehler));
        QCOMPARE(z.jobFiles().size(), pages > 0 ? 1 : 0);
        if (pages > 0)
            QCOMPARE(PdfPages(aus.trimmed()).pageCount(), pages);
    }

    void stopWhileWaitingForInput_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QByteArray>("written"); // sent by a writer that then waits; none when empty
        QTest::newRow("SIGTERM, no writer") << "TERM" << QByteArray();
        QTest::newRow("Ctrl+C, half a record written") << "INT" << QByteArray("Buch;1;B-0001;eins");
    }
    void stopWhileWaitingForInput()
    {
        QFETCH(QString, signal);
        QFETCH(QByteArray, written);
        Zuhause z;
        QTemporaryDir ordner;
        const QString fifo = ordner.filePath("eingang");
        QCOMPARE(QProcess::execute("mkfifo", {fifo}), 0);
        std::unique_ptr<QProcess> p = z.start({"--art", "laser", fifo});
        QVERIFY(p->waitForStarted());
        const auto wartet = [&] { // holds the FIFO open
            for (const QFileInfo &fd : QDir(QStringLiteral("/proc/%1/fd").arg(p->processId())).entryInfoList(QDir::System))
                if (fd.symLinkTarget() == QFileInfo(fifo).canonicalFilePath())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(wartet(), 30000);
        QFile schreiber(fifo);
        if (!written.isEmpty()) {
            QVERIFY(schreiber.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            QCOMPARE(schreiber.write(written), written.size());
        }
        QCOMPARE(QProcess::execute("kill", {"-" + signal, QString::number(p->processId())}), 0);
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p->readAllStandardError()),
                 "tarvel drucken: Der Druck von „eingang“ wurde abgebrochen; nichts davon wurde gedruckt.\n");
        QCOMPARE(z.jobFiles(), QStringList());
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
