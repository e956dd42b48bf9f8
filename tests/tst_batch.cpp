#include "platform/SystemPrinterBackend.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

using namespace tarvel::test;

namespace {

QString artikel(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

struct Ergebnis
{
    int code = -1;
    QString aus;
    QString fehler;
};

/// A home of its own for each run of the command: settings, jobs folder, no system printer.
class Zuhause
{
public:
    Zuhause()
    {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), m_home.path());
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
        for (const char *name : {"XDG_DOCUMENTS_DIR", "LPDEST", "PRINTER", "QT_QPA_PLATFORM"})
            m_env.remove(QString::fromLatin1(name));
        // No scheduler: the current printer is the built-in PDF printer.
        m_env.insert(QStringLiteral("CUPS_SERVER"), m_home.filePath(QStringLiteral("kein-cups.sock")));
    }
    void mitCups() { m_env.remove(QStringLiteral("CUPS_SERVER")); }

    QString jobs() const { return m_home.filePath(QStringLiteral("Documents/Tarvel")); }
    /// Everything in the jobs folder, hidden files too.
    QStringList jobDateien() const
    {
        return QDir(jobs()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QString ini() const { return m_home.filePath(QStringLiteral(".config/Tarvel/Tarvel.ini")); }
    void einstellungen(const QByteArray &inhalt) const
    {
        QDir().mkpath(QFileInfo(ini()).path());
        QFile f(ini());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(inhalt);
    }
    QString datei(const QString &name, const QByteArray &inhalt) const
    {
        const QString pfad = m_home.filePath(name);
        QFile f(pfad);
        if (f.open(QIODevice::WriteOnly))
            f.write(inhalt);
        return pfad;
    }

    QProcess *starten(const QStringList &argumente)
    {
        auto *p = new QProcess;
        p->setProcessEnvironment(m_env);
        p->setWorkingDirectory(m_home.path());
        p->start(QStringLiteral(TARVEL_BIN), QStringList{QStringLiteral("drucken")} + argumente);
        return p;
    }
    Ergebnis drucken(const QStringList &argumente)
    {
        std::unique_ptr<QProcess> p(starten(argumente));
        Ergebnis e;
        if (!p->waitForFinished(120000))
            return e;
        e.code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -2;
        e.aus = QString::fromUtf8(p->readAllStandardOutput());
        e.fehler = QString::fromUtf8(p->readAllStandardError());
        return e;
    }
    const QProcessEnvironment &env() const { return m_env; }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_env;
};

constexpr int Dpi = 300;

QRect pixel(double x, double y, double w, double h)
{
    const double s = Dpi / 1440.0;
    return QRect(int(x * s), int(y * s), int(w * s), int(h * s));
}

/// The barcodes of every page, read place by place in the order the run fills
/// them; an empty place reads as an empty text, empty places at the end are left out.
QList<QStringList> barcodes(const QString &pdfPfad, const QString &art)
{
    QList<QRect> plaetze;
    if (art == QLatin1String("label"))
        plaetze << pixel(0, 0, 3500, 700);
    for (int i = 0; art == QLatin1String("laser") && i < 16; ++i)
        plaetze << pixel((i / 8) * 6000 + 100, (i % 8) * 1930 + 700 - 20, 3500, 720);
    for (int i = 0; art == QLatin1String("liste") && i < 12; ++i)
        plaetze << pixel(5500, 900 + i * 1200 - 20, 5000, 720);
    const PdfPages pdf(pdfPfad);
    QList<QStringList> seiten;
    for (int seite = 1; seite <= pdf.pageCount(); ++seite) {
        const QImage bild = pdf.render(seite, Dpi);
        QStringList codes;
        for (const QRect &platz : plaetze)
            codes << BarcodeDecoder::decodeArea(bild, platz.intersected(bild.rect())).join(u'|');
        while (!codes.isEmpty() && codes.constLast().isEmpty())
            codes.removeLast();
        seiten << codes;
    }
    return seiten;
}

QStringList nummern(int von, int bis)
{
    QStringList out;
    for (int i = von; i <= bis; ++i)
        out << QStringLiteral("B-%1").arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

using Seiten = QList<QStringList>;

} // namespace

/// The command "tarvel drucken", run as a user runs it: the built program in a
/// home of its own.
class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    void optionsAndExitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // a part of the error output; empty: none at all
        const QString zwei = artikel("zwei.txt");
        const auto row = [&](const char *name, QStringList args, int code, const QString &message = {}) {
            QTest::newRow(name) << args << code << message;
        };
        row("art liste", {"--art", "liste", zwei}, 0);
        row("art label", {"--art", "label", zwei}, 0);
        row("art laser", {"--art=laser", zwei}, 0);
        row("art unknown", {"--art", "bogen", zwei}, 2,
            "tarvel drucken: Option --art: „bogen“ ist keine Art; erlaubt sind liste, label und laser.\n"
            "Hilfe: tarvel drucken --hilfe\n");
        row("art without value", {zwei, "--art"}, 2, "Option --art: der Wert fehlt.");
        row("art twice", {"--art", "label", "--art", "laser", zwei}, 2, "Option --art ist mehrfach angegeben");
        row("preis1 vk", {"--preis1", "vk", zwei}, 0);
        row("preis1 unknown", {"--preis1", "teuer", zwei}, 2, "Option --preis1: „teuer“ ist kein Preis");
        row("preis2 liste", {"--art", "liste", "--preis2", "liste", zwei}, 0);
        row("preis2 for labels", {"--art", "label", "--preis2", "ek", zwei}, 2,
            "Option --preis2 gilt nur für --art liste; gewählt ist „label“ (mit --art).");
        row("waehrung", {"--waehrung", "DM", zwei}, 0);
        row("lagerfach", {"--lagerfach", zwei}, 0);
        row("lagerfach with value", {"--lagerfach=ja", zwei}, 2, "Option --lagerfach nimmt keinen Wert");
        row("startlabel 16", {"--art", "laser", "--startlabel", "16", zwei}, 0);
        row("startlabel 17", {"--art", "laser", "--startlabel", "17", zwei}, 2,
            "Option --startlabel: „17“ ist keine Labelnummer von 1 bis 16.");
        row("startlabel text", {"--art", "laser", "--startlabel", "x", zwei}, 2, "„x“ ist keine Labelnummer");
        row("startlabel for the list", {"--art", "liste", "--startlabel", "3", zwei}, 2,
            "Option --startlabel gilt nur für --art laser; gewählt ist „liste“ (mit --art).");
        row("kopien 3", {"--art", "label", "--kopien", "3", zwei}, 0);
        row("kopien 0", {"--art", "label", "--kopien", "0", zwei}, 2, "Option --kopien: „0“ ist keine Anzahl");
        row("kopien for the stored list", {"--kopien", "2", zwei}, 2,
            "Option --kopien gilt nur für --art label und laser; gewählt ist „liste“ (im Fenster gespeichert).");
        row("seiten range", {"--art", "liste", "--seiten", "1-2", zwei}, 0);
        row("seiten one page", {"--seiten", "1", zwei}, 0);
        row("seiten backwards", {"--seiten", "3-1", zwei}, 2, "Option --seiten: „3-1“ ist kein Seitenbereich");
        row("seiten text", {"--seiten", "a-b", zwei}, 2, "„a-b“ ist kein Seitenbereich");
        row("seiten for labels", {"--art", "label", "--seiten", "1-2", zwei}, 2,
            "Option --seiten gilt nur für --art liste");
        row("drucker PDF-Datei", {"--drucker", "PDF-Datei", zwei}, 0);
        row("drucker unknown", {"--drucker", "Etiketten im Keller", zwei}, 1,
            "tarvel drucken: Druckerfehler (Drucker „Etiketten im Keller“ nicht gefunden; vorhanden: „PDF-Datei“)\n");
        row("drucker empty", {"--drucker=", zwei}, 2, "Option --drucker: der Druckername fehlt.");
        row("unknown option", {"--bogen", "3", zwei}, 2, "tarvel drucken: Unbekannte Option „--bogen“.");
        row("no file", {"--art", "liste"}, 2, "tarvel drucken: Keine Artikeldatei angegeben.");
        row("two files", {zwei, "noch.txt"}, 2, "Nur eine Artikeldatei ist möglich");
        row("missing file", {artikel("fehlt.txt")}, 1,
            "tarvel drucken: Datei nicht gefunden (Datei „" + artikel("fehlt.txt") + "“: ");
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
        row("folder as file", {QStringLiteral(TARVEL_TEST_DATA)}, 1, "Fehler beim Zugriff auf Pfad/Datei (Datei „");
    }
    void optionsAndExitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        Zuhause z;
        const Ergebnis e = z.drucken(args);
        QCOMPARE(e.code, exitCode);
        if (message.isEmpty())
            QCOMPARE(e.fehler, QString());
        else
            QVERIFY2(e.fehler.contains(message), qPrintable(e.fehler));
        // Printed: one PDF and its path; otherwise nothing is left behind.
        const QStringList jobs = z.jobDateien();
        if (exitCode == 0) {
            QCOMPARE(jobs.size(), 1);
            QCOMPARE(e.aus, QDir(z.jobs()).filePath(jobs.first()) + u'\n');
            QVERIFY2(QRegularExpression("/Documents/Tarvel/Tarvel-\\d{8}-\\d{6}-\\d+\\.pdf\n$").match(e.aus).hasMatch(),
                     qPrintable(e.aus));
        } else {
            QCOMPARE(jobs, QStringList());
            QCOMPARE(e.aus, QString());
        }
    }

    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--hilfe") << QStringList{"--hilfe"};
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h") << QStringList{"-h"};
        QTest::newRow("with other options") << QStringList{"--art", "bogen", "--hilfe"};
    }
    void help()
    {
        QFETCH(QStringList, args);
        Zuhause z;
        const Ergebnis e = z.drucken(args);
        QCOMPARE(e.code, 0);
        QCOMPARE(e.fehler, QString());
        QVERIFY(e.aus.startsWith("Aufruf: tarvel drucken [Optionen] DATEI\n"));
        for (const char *option : {"--art liste|label|laser", "--preis1 ek|vk|liste|leer", "--preis2 ek|vk|liste|leer",
                                   "--waehrung TEXT", "--lagerfach", "--startlabel N", "--kopien N",
                                   "--seiten VON-BIS", "--drucker NAME", "-h, --hilfe, --help"})
            QVERIFY2(e.aus.contains(QString::fromUtf8(option)), option);
        QVERIFY(e.aus.contains("Rückgabewert: 0 gedruckt; 1 Fehler"));
        QVERIFY(!QFileInfo::exists(z.jobs()));
    }

    void printedBarcodesDecode_data()
    {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Seiten>("pages");
        QTest::addColumn<QStringList>("texts"); // found in the PDF's text
        const QString zwei = artikel("zwei.txt"), siebzehn = artikel("siebzehn.txt");
        QTest::newRow("labels, VK in DM") << "label" << QStringList{"--preis1", "vk", "--waehrung", "DM", zwei}
                                          << Seiten{{"B-0001"}, {"B-0002"}} << QStringList{"11,90 DM", "12,90 DM"};
        QTest::newRow("labels, two copies")
            << "label" << QStringList{"--kopien", "2", zwei} << Seiten{{"B-0001"}, {"B-0001"}, {"B-0002"}, {"B-0002"}}
            << QStringList{};
        QTest::newRow("laser, 17 records") << "laser" << QStringList{siebzehn}
                                           << Seiten{nummern(1, 16), {"B-0017"}} << QStringList{"MATCH17"};
        QTest::newRow("laser from label 16, storage bin")
            << "laser" << QStringList{"--startlabel", "16", "--lagerfach", zwei}
            << Seiten{QStringList(15, QString()) << "B-0001", {"B-0002"}}
            << QStringList{"Lagerfach: R01", "Lagerfach: R02"};
        QTest::newRow("list, two prices")
            << "liste" << QStringList{"--preis1", "ek", "--preis2", "liste", "--waehrung", "EUR", siebzehn}
            << Seiten{nummern(1, 12), nummern(13, 17)} << QStringList{"EK-Preis: 1,50 EUR", "Liste: 12,95 EUR"};
        QTest::newRow("list, pages 2 to 3")
            << "liste" << QStringList{"--seiten", "2-3", artikel("vierzig.txt")}
            << Seiten{nummern(13, 24), nummern(25, 36)}
            << QStringList{"Seite 2", "Seite 3"};
    }
    void printedBarcodesDecode()
    {
        QFETCH(QString, art);
        QFETCH(QStringList, args);
        QFETCH(Seiten, pages);
        QFETCH(QStringList, texts);
        Zuhause z;
        const Ergebnis e = z.drucken(QStringList{"--art", art} + args);
        QCOMPARE(e.code, 0);
        const QString pdf = e.aus.trimmed();
        QCOMPARE(barcodes(pdf, art), pages);
        const QString text = PdfPages(pdf).text().simplified();
        for (const QString &t : texts)
            QVERIFY2(text.contains(t), qPrintable(t + " fehlt in: " + text.left(400)));
    }

    void badRecordNamesFileLineAndField_data()
    {
        QTest::addColumn<QString>("art");
        QTest::newRow("liste") << "liste";
        QTest::newRow("label") << "label";
        QTest::newRow("laser") << "laser";
    }
    void badRecordNamesFileLineAndField()
    {
        QFETCH(QString, art);
        Zuhause z;
        const Ergebnis e = z.drucken({"--art", art, artikel("fehler_zeile7.txt")});
        QCOMPARE(e.code, 1);
        QCOMPARE(e.aus, QString());
        QCOMPARE(e.fehler, QStringLiteral("tarvel drucken: Die Prüfung von „fehler_zeile7.txt“ ergab 1 Fehler und 0 "
                                          "Warnungen.\nZeile 7, Feld BestellNr: Fehler: Zeichen \"ä\" an Stelle 2 "
                                          "kann nicht im Barcode stehen.\nEs wurde nichts gedruckt; Fehler "
                                          "verhindern den Druck auch mit --trotzdem.\n"));
        // The check found it before the first page: nothing is delivered, no half file is left.
        QCOMPARE(z.jobDateien(), QStringList());
    }

    void storedChoicesAreRead_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("pageCount");   // of zwei.txt: list 1, labels 2, laser 1
        QTest::addColumn<QString>("present"); // in the PDF's text
        QTest::addColumn<QString>("absent");
        QTest::newRow("nothing stored: list, no prices")
            << QByteArray() << 1 << "Barcode-Liste vom" << "Preis";
        QTest::newRow("Art=2: laser") << QByteArray("[System]\nArt=2\n") << 1 << "MATCH2" << "Barcode-Liste";
        QTest::newRow("Preis1=1 on labels") << QByteArray("[System]\nArt=1\nPreis1=1\n") << 2 << "11,90 €"
                                            << "1,50";
        QTest::newRow("list with both prices")
            << QByteArray("[system]\nart=0\npreis1=0\npreis2=2\n") << 1 << "EK-Preis: 1,50 € Liste: 12,95 €" << "11,90";
        QTest::newRow("Art=7 is no kind: list") << QByteArray("[System]\nArt=7\n") << 1 << "Barcode-Liste vom"
                                                << "Preis";
        QTest::newRow("Preis1=x is no price: none")
            << QByteArray("[System]\nArt=1\nPreis1=x\n") << 2 << "MATCH1" << "€";
    }
    void storedChoicesAreRead()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, pageCount);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        Zuhause z;
        if (!ini.isEmpty())
            z.einstellungen(ini);
        const Ergebnis e = z.drucken({artikel("zwei.txt")});
        QCOMPARE(e.code, 0);
        const PdfPages pdf(e.aus.trimmed());
        QCOMPARE(pdf.pageCount(), pageCount);
        const QString text = pdf.text().simplified();
        QVERIFY2(text.contains(present), qPrintable(text));
        QVERIFY2(!text.contains(absent), qPrintable(text));
    }

    void settingsAreNeverWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("printed with other choices")
            << QStringList{"--art", "liste", "--preis1", "ek", "--preis2", "vk", artikel("zwei.txt")};
        QTest::newRow("bad record") << QStringList{"--art", "label", artikel("fehler_zeile7.txt")};
        QTest::newRow("bad option") << QStringList{"--art", "bogen", artikel("zwei.txt")};
        QTest::newRow("help") << QStringList{"--hilfe"};
    }
    void settingsAreNeverWritten()
    {
        QFETCH(QStringList, args);
        {
            Zuhause z; // nothing stored: nothing is created either
            z.drucken(args);
            QVERIFY(!QFileInfo::exists(QFileInfo(z.ini()).path()));
        }
        Zuhause z;
        // Stored as a person might leave it: odd spelling, an invalid value, a comment.
        const QByteArray ini("; von Hand\n[system]\nart = 1\nPreis1=9\nPreis2=2\nDatei=/tmp/x.txt\n");
        z.einstellungen(ini);
        const QDateTime vorher = QFileInfo(z.ini()).lastModified();
        QTest::qWait(20);
        z.drucken(args);
        QFile f(z.ini());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ini);
        QCOMPARE(QFileInfo(z.ini()).lastModified(), vorher);
        QCOMPARE(QDir(QFileInfo(z.ini()).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarvel.ini"});
    }

    void progressOnATerminal()
    {
        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        if (script.isEmpty())
            QSKIP("script (util-linux) is not installed: no terminal to run in");
        Zuhause z;
        QStringList worte{QStringLiteral(TARVEL_BIN), "drucken", "--art", "laser", artikel("siebzehn.txt")};
        for (QString &w : worte)
            w = "'" + w + "'";
        QProcess p;
        p.setProcessEnvironment(z.env());
        p.start(script, {"-qec", worte.join(u' '), "/dev/null"});
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
        QByteArray viele;
        for (int i = 1; i <= 20000; ++i)
            viele += QStringLiteral("Buch;%1;B-%1;Kurz eins;Kurz zwei;;1,00;2,00;3,00;R1;M%1\r\n").arg(i).toLatin1();
        std::unique_ptr<QProcess> p(z.starten({"--art", "liste", z.datei("viele.txt", viele)}));
        // Stopped once the job has begun: its folder is made with the first page.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(z.jobs()) || p->state() == QProcess::NotRunning, 60000);
        QVERIFY2(p->state() == QProcess::Running, "the run ended before it could be stopped");
        p->terminate();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p->readAllStandardError()),
                 QStringLiteral("tarvel drucken: Der Druck von „viele.txt“ wurde abgebrochen; nichts davon wurde "
                                "gedruckt.\n"));
        QCOMPARE(z.jobDateien(), QStringList());
    }

    void cupsQueueAndJob()
    {
        if (!tarvel::platform::SystemPrinterBackend::exists(QStringLiteral("PDF")))
            QSKIP("no CUPS scheduler with the cups-pdf queue PDF");
        const passwd *pw = getpwuid(getuid());
        const QDir ausgabe(QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF"));
        const QStringList vorher = ausgabe.entryList({"*.pdf"}, QDir::Files);
        Zuhause z;
        z.mitCups();
        const Ergebnis e = z.drucken({"--art", "label", "--drucker", "PDF", artikel("zwei.txt")});
        QCOMPARE(e.code, 0);
        QVERIFY2(QRegularExpression("^PDF \\(Auftrag \\d+\\)\n$").match(e.aus).hasMatch(), qPrintable(e.aus));
        QCOMPARE(z.jobDateien(), QStringList()); // the spooled copy is gone once CUPS has the job
        QString neu;
        for (int i = 0; i < 200 && neu.isEmpty(); ++i) {
            QTest::qWait(100);
            for (const QString &f : ausgabe.entryList({"*.pdf"}, QDir::Files))
                if (!vorher.contains(f))
                    neu = ausgabe.filePath(f);
        }
        QVERIFY2(!neu.isEmpty(), "cups-pdf wrote nothing");
        QTest::qWait(300); // cups-pdf may still be writing
        const PdfPages pdf(neu);
        QCOMPARE(pdf.pageCount(), 2);
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(1)), QStringList{"B-0001"});
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(2)), QStringList{"B-0002"});
        QFile::remove(neu);
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
        QProcessEnvironment env = z.env();
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
        QCOMPARE(z.jobDateien().size(), pages > 0 ? 1 : 0);
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
        std::unique_ptr<QProcess> p(z.starten({"--art", "laser", fifo}));
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
        QCOMPARE(z.jobDateien(), QStringList());
    }
};

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
