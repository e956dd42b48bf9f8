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
    /// \a args are the words after "tarvel" (or \a program), \a input its standard input.
    std::unique_ptr<QProcess> start(const QStringList &args, const QByteArray &input = {},
                                    const QString &program = TARVEL_BIN)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(home.path());
        p->start(program, args);
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
    const double s = 300 / 1440.0; // from twips to pixels at 300 dpi
    const auto px = [s](double x, double y, double w, double h) { return QRect(int(x * s), int(y * s), int(w * s), int(h * s)); };
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
    // A whole call: args are the words after "tarvel", input goes to its standard input, ini is what the window
    // stored. Printed: one PDF, its path on standard output, its barcodes decoding place by place as the kind (art)
    // lays them out. Otherwise a message, and nothing left behind. The stored settings are read, never written.
    void calls_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode"); // -1: the window, offscreen; otherwise no display is set
        QTest::addColumn<QString>("err"); // a part of the error output; empty: none at all
        QTest::addColumn<QString>("art"); // empty: nothing printed
        QTest::addColumn<Pages>("pages");
        QTest::addColumn<QStringList>("present"); // in the PDF's text, or else a part of the output (none: no output)
        QTest::addColumn<QString>("absent");
        // Stored as a person might leave it, changing no default: a comment, odd spelling.
        const QByteArray vonHand("; von Hand\n[system]\npreis1 = 3\nDatei=/tmp/x.txt\n");
        const auto call = [&](const char *name, const QStringList &args, int code, const QString &err,
                              const QStringList &out = {}) {
            QTest::newRow(name) << vonHand << args << QByteArray() << code << err << QString() << Pages() << out << QString();
        };
        const auto drucken = [&](const char *name, const QStringList &args, int code, const QString &err) {
            call(name, QStringList{"drucken"} + args, code, err);
        };
        const auto prints = [](const char *name, const QByteArray &ini, const QStringList &args, const char *art,
                               const Pages &pages, const QStringList &present = {}, const QString &absent = {},
                               const QString &err = {}, const QByteArray &input = {}) {
            QTest::newRow(name) << ini << QStringList{"drucken"} + args << input << 0 << err << art << pages << present
                                << absent;
        };
        const QString zwei = artikel("zwei.txt"), fehlt = artikel("fehlt.txt");
        const Pages liste{{"B-0001", "B-0002"}}, labels{{"B-0001"}, {"B-0002"}};
        prints("list, preis2, one page, PDF printer", vonHand,
               {"--art", "liste", "--preis2", "liste", "--seiten", "1", "--drucker", "PDF-Datei", zwei}, "liste", liste);
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
        drucken("file name with a leading -", {"--art", "laser", "-liste.txt"}, 2,
                "tarvel drucken: Unbekannte Option „-liste.txt“. Eine Datei, deren Name mit „-“ beginnt, steht hinter "
                "„--“: tarvel drucken [Optionen] -- -liste.txt\n");
        drucken("-xh is no help", {"-xh", zwei}, 2, "Unbekannte Option „-xh“.");
        drucken("hilfe with a value", {"--hilfe=1", zwei}, 2, "Option --hilfe nimmt keinen Wert („--hilfe=1“).");
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
        prints("spreadsheet export --trotzdem", vonHand, {"--art", "laser", "--trotzdem", pruefung + "tabellenexport.txt"},
               "laser", {{"BestellNr", "9783596294312", "B-0002"}}, {}, {}, "Mit --trotzdem wird trotz der Warnungen gedruckt.\n");
        drucken("trotzdem with value", {"--trotzdem=ja", zwei}, 2, "Option --trotzdem nimmt keinen Wert");
        QFile f(artikel("zwoelf.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray dreizehn = f.readAll() + "Buch;13;B-0013;K1;K2;;1,00;2,00;3,00;R;M13\n";
        prints("pipe, list page 2 of 13 records", vonHand, {"--art", "liste", "--seiten", "2", "/dev/stdin"}, "liste",
               {{"B-0013"}}, {"M13"}, {}, {}, dreizehn);
        const QString seite2 = "tarvel drucken: Option --seiten: Seite 2 gibt es nicht; die Liste aus „%1“ endet "
                               "mit Seite 1. Es wurde nichts gedruckt.\n";
        drucken("list page 2 of 12 records", {"--art", "liste", "--seiten", "2-3", artikel("zwoelf.txt")}, 1,
                seite2.arg("zwoelf.txt"));
        drucken("list page 2 of nothing", {"--art", "liste", "--seiten", "2", "/dev/null"}, 1, seite2.arg("null"));
        drucken("endless input", {"--art", "laser", "/dev/zero"}, 1,
                "tarvel drucken: Geräte-E/A-Fehler (Datei „zero“: mehr als 128 MB aus einer Pipe oder einem Gerät");
        call("--help", {"--help"}, 0, {}, {"Aufruf:\n  tarvel  "});
        call("drucken --hilfe", {"drucken", "--hilfe"}, 0, {}, {"Aufruf: tarvel drucken [Optionen] DATEI\n"});
        call("drucken -h after a bad option", {"drucken", "--art", "bogen", "-h"}, 0, {},
             {"Rückgabewert: 0 gedruckt; 1 Befunde der Prüfung"});
        call("--version", {"--version"}, 0, {}, {"tarvel 1.0\n"});
        call("druck x", {"druck", "x"}, 2, "tarvel: Unbekannter Aufruf „druck x“.\n\nAufruf:\n");
        call("--automation x", {"--automation", "x"}, 2, "Unbekannter Aufruf");
        call("window, no display", {}, 1, "tarvel: Kein Bildschirm gefunden");
        call("window, offscreen", {}, -1, "Hauptfenster gezeigt");
        // What is printed, from the options or else from the choices the window stored.
        prints("labels, VK in DM", {}, {"--art", "label", "--preis1", "vk", "--waehrung", "DM", zwei}, "label", labels,
               {"11,90 DM", "12,90 DM"});
        prints("a value with a leading -, then --", {}, {"--art", "label", "--preis1", "vk", "--waehrung", "-DM-", "--", zwei},
               "label", labels, {"11,90 -DM-"});
        prints("laser from label 16, storage bin", {}, {"--art", "laser", "--startlabel", "16", "--lagerfach", zwei},
               "laser", {QStringList(15, QString()) << "B-0001", {"B-0002"}}, {"Lagerfach: R01", "Lagerfach: R02"});
        prints("list, two prices, umlauts", {},
               {"--art", "liste", "--preis1", "ek", "--preis2", "liste", "--waehrung", "EUR", artikel("beispiel.txt")}, "liste",
               {{"3-12-3456", "3-499-1234", "K-2027-01", "SP-0815", "3-7632-55", "P-A4-500", "3-423-0123", "KT-1001",
                 "3-596-2222", "ST-HB-12", "3-257-3333", "3-442-4444"},
                {"GL-30", "3-518-5555"}},
               {"EK-Preis: 12,50 EUR Liste: 19,90 EUR", "Grüße aus Österreich"});
        prints("nothing stored: list, no prices", {}, {zwei}, "liste", liste, {"Barcode-Liste vom"}, "Preis");
        prints("Art=2, Preis1=1: laser with VK", "[System]\nArt=2\nPreis1=1\n", {zwei}, "laser", liste,
               {"MATCH2", "11,90 €"}, "1,50");
        prints("list with both prices", "[system]\nart=0\npreis1=0\npreis2=2\n", {zwei}, "liste", liste,
               {"EK-Preis: 1,50 € Liste: 12,95 €"}, "11,90");
        prints("Art=3 is no kind: list", "[System]\nArt=3\n", {zwei}, "liste", liste, {"Barcode-Liste vom"}, "Preis",
               "Einstellung \"Art\" = \"3\" ist keine gültige Auswahl; es gilt 0\n");
        prints("Preis1=x is no price: none", "[System]\nArt=1\nPreis1=x\n", {zwei}, "label", labels, {"MATCH1"}, "€",
               "Einstellung \"Preis1\" = \"x\" ist keine gültige Auswahl; es gilt 3\n");
    }
    void calls()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFETCH(QString, art);
        QFETCH(Pages, pages);
        QFETCH(QStringList, present);
        QFETCH(QString, absent);
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
        QCOMPARE(jobs.size(), art.isEmpty() ? 0 : 1);
        if (art.isEmpty()) {
            QVERIFY2(present.isEmpty() ? z.aus.isEmpty() : z.aus.contains(present.first()), qPrintable(z.aus));
        } else {
            QCOMPARE(z.aus, QDir(z.jobs()).filePath(jobs.first()) + u'\n');
            QVERIFY2(QRegularExpression("/Tarvel-\\d{8}-\\d{6}-\\d+\\.pdf\n$").match(z.aus).hasMatch(), qPrintable(z.aus));
            QCOMPARE(barcodes(z.aus.trimmed(), art), pages);
            const QString text = PdfPages(z.aus.trimmed()).text().simplified();
            for (const QString &t : present)
                QVERIFY2(text.contains(t), qPrintable(t + " fehlt in: " + text.left(400)));
            QVERIFY2(absent.isEmpty() || !text.contains(absent), qPrintable(absent + " steht in: " + text.left(400)));
        }
        QFile f(z.iniPath());
        QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), ini);
        QCOMPARE(QDir(QFileInfo(f).path()).entryList(QDir::Files | QDir::Hidden),
                 ini.isEmpty() ? QStringList() : QStringList{"Tarvel.ini"});
    }

    // Under an Arabic locale the list's date stays German. Arabic, Chinese and Thai titles are drawn in
    // installed fonts that have their letters, not as empty boxes of the label font.
    void foreignLocaleAndScripts()
    {
        Zuhause z;
        z.env.insert("LANG", "ar_SA.UTF-8");
        z.env.insert("LC_ALL", "ar_SA.UTF-8");
        QFile f(z.home.filePath("titel.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Buch;1;B-0001;كتاب الأسماء;北京的书 หนังสือ;;1,50;11,90;12,95;R01;M1\n");
        f.close();
        z.run({"drucken", "--art", "liste", "--preis1", "vk", f.fileName()});
        QCOMPARE(z.code, 0);
        const QString text = PdfPages(z.aus.trimmed()).text();
        QVERIFY2(text.contains("Barcode-Liste vom " + QDate::currentDate().toString("dd.MM.yyyy")), qPrintable(text));
        QVERIFY2(text.contains("北京的书"), qPrintable(text));
        QProcess fonts;
        fonts.start("pdffonts", {z.aus.trimmed()});
        QVERIFY(fonts.waitForFinished());
        const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
        for (const char *font : {"DejaVuSans", "WenQuanYi", "Loma"}) // scripts/packages.txt installs them
            QVERIFY2(list.contains(font), qPrintable(list));
    }

    void progressOnATerminal()
    {
        const QString script = QStandardPaths::findExecutable("script");
        if (script.isEmpty())
            QSKIP("script (util-linux) is not installed: no terminal to run in");
        Zuhause z;
        const auto p = z.start({"-qec", QStringLiteral("'%1' drucken --art laser '%2'").arg(TARVEL_BIN, artikel("siebzehn.txt")),
                                "/dev/null"}, {}, script);
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
        const QString terminal = QString::fromUtf8(p->readAllStandardOutput());
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
        const QByteArray lang = QByteArray("Buch;1;B-0001;Kurz;;;1,00;2,00;3,00;R1;M1\r\n").repeated(20000);
        if (fifo)
            QCOMPARE(QProcess::execute("mkfifo", {eingang}), 0);
        else if (!datei.open(QIODevice::WriteOnly) || datei.write(lang) != lang.size())
            QFAIL("no article file written");
        datei.close();
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
