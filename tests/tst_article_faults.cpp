// Hostile article files: every one ends in a clean run or in a message that
// names the file and the line, the job of a failed run is cancelled, and the
// memory a run takes does not grow with the file.

#include "barcode/Code128.h"
#include "runs/Datei.h"
#include "runs/DateiDruck.h"
#include "platform/Printer.h"
#include "support/CountingBackend.h"
#include "support/ProcessMemory.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

using namespace tarvel;
using runs::Datei;
using runs::DateiDruck;
using platform::FontSpec;
using platform::Printer;
using test::CountingBackend;
using test::ProcessMemory;

namespace {

/// A label run on the counting printer; the order numbers are collected as
/// the label prints them (bold, 12 point), unless they are only counted.
struct Lauf
{
    CountingBackend *zaehler;
    std::unique_ptr<Printer> printer;
    barcode::Code128 code;
    std::unique_ptr<DateiDruck> druck;
    QStringList bestellNr;
    bool sammeln = true;

    Lauf()
    {
        auto backend = std::make_unique<CountingBackend>();
        zaehler = backend.get();
        printer = std::make_unique<Printer>(std::move(backend));
        code.InitBreite(*printer, 0);
        druck = std::make_unique<DateiDruck>(*printer, code);
        zaehler->setTextSeen([this](const QString &text, const FontSpec &font) {
            if (sammeln && font.bold && font.size == 12)
                bestellNr << text;
        });
    }
};

QByteArray satz(const QByteArray &bestellNr, const QByteArray &kurzText1 = "Kurztext")
{
    return "Buch;A-1;" + bestellNr + ";" + kurzText1 + ";Zweite Zeile;;1,00;2,00;3,00;F1;MATCH\r\n";
}

/// \a n records whose order numbers are B-000001, B-000002, ...
QByteArray saetze(int n)
{
    QByteArray out;
    out.reserve(qsizetype(n) * 64);
    for (int i = 1; i <= n; ++i)
        out += satz("B-" + QByteArray::number(i).rightJustified(6, '0'));
    return out;
}

QByteArray muell(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char &c : out)
        c = char(random() & 0xFF);
    return out;
}

const QByteArray ZehnMB(10 * 1024 * 1024, 'x');

/// Line and error number of the first record whose order number (third field)
/// holds a byte the barcode cannot carry: below 32 gives 6, above 127 gives 9.
std::pair<int, int> ersterFehler(const QByteArray &bytes)
{
    int zeile = 0;
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size()) {
        ++zeile;
        qsizetype ende = i;
        while (ende < bytes.size() && bytes[ende] != '\r' && bytes[ende] != '\n')
            ++ende;
        const QList<QByteArray> felder = bytes.mid(i, ende - i).split(';');
        if (felder.size() >= 3) {
            for (char c : felder[2]) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 32 || b > 127)
                    return {zeile, b < 32 ? 6 : 9};
            }
        }
        i = ende + (bytes.mid(ende, 2) == "\r\n" ? 2 : 1);
    }
    return {0, 0};
}

} // namespace

class TestArticleFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString schreiben(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Each file either prints cleanly or fails with the error of its first
    // bad record, at that record's line and field; a failed run prints nothing.
    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("fehler");        // 0: a clean run
        QTest::addColumn<QString>("stelle");    // what the message names
        QTest::addColumn<qint64>("labels");     // labels of a clean run
        QTest::addColumn<qint64>("maxPeakMiB"); // peak memory the run may add

        QTest::newRow("NUL bytes in a text field")
            << satz("B-1") + satz("B-2", QByteArray("mit\0NUL", 7)) + satz("B-3") << 0 << QString() << qint64(3)
            << qint64(16);
        QTest::newRow("NUL byte in the order number")
            << satz("B-1") + satz("B-2") + satz(QByteArray("B\0-3", 4)) << 6
            << QStringLiteral("Zeile 3, Feld BestellNr: Zeichen 0 an Stelle 2") << qint64(0) << qint64(16);
        QTest::newRow("only NUL bytes, no line end") << QByteArray(100000, '\0') << 0 << QString() << qint64(1)
                                                     << qint64(16);
        QTest::newRow("10 MB line in a text field")
            << satz("B-1") + satz("B-2", ZehnMB) + satz("B-3") << 0 << QString() << qint64(3) << qint64(160);
        QTest::newRow("10 MB order number") << satz("B-1") + satz(ZehnMB) << 6
                                            << QStringLiteral("Zeile 2, Feld BestellNr: Text zu lang") << qint64(0)
                                            << qint64(160);
        QTest::newRow("10 MB line without a separator") << satz("B-1") + ZehnMB + "\r\n" + satz("B-3") << 0
                                                         << QString() << qint64(3) << qint64(160);
        QTest::newRow("20 MB line") << satz("B-1") + QByteArray(20 * 1024 * 1024, 'x') + "\r\n" << int(Datei::EinAusgabeFehler)
                                    << QStringLiteral("Zeile 2: die Zeile ist länger als 16 MB") << qint64(0)
                                    << qint64(160);
        QTest::newRow("1 MB of line ends") << QByteArray(1024 * 1024, '\n') << 0 << QString()
                                           << qint64(1024 * 1024) << qint64(16);
        // Binary garbage fails at its first order number the barcode cannot carry.
        for (const QByteArray &bytes : {satz("B-1") + muell(1 << 20, 8), "\xEF\xBB\xBF" + muell(1 << 20, 9)}) {
            const auto [zeile, nummer] = ersterFehler(bytes);
            QVERIFY(zeile > 0);
            QTest::addRow("binary garbage%s", bytes.startsWith("\xEF") ? " after a BOM" : "")
                << bytes << nummer << QStringLiteral("Zeile %1, Feld BestellNr").arg(zeile) << qint64(0) << qint64(16);
        }
    }
    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, fehler);
        QFETCH(QString, stelle);
        QFETCH(qint64, labels);
        QFETCH(qint64, maxPeakMiB);
        const QString path = schreiben(QStringLiteral("feindlich.txt"), bytes);
        bytes = QByteArray(); // only the file holds the bytes while the run reads them

        Lauf lauf;
        lauf.sammeln = false;
        const qint64 vorher = (ProcessMemory::resetPeak(), ProcessMemory::peakKiB());
        QElapsedTimer uhr;
        uhr.start();
        const auto ergebnis = lauf.druck->LabelDrucken(path, DateiDruck::Auswahl{});
        const qint64 spitze = ProcessMemory::peakKiB() - vorher;
        qInfo("%s: %lld ms, Spitze +%lld KiB, %lld Labels", QTest::currentDataTag(), qint64(uhr.elapsed()), spitze,
              lauf.zaehler->counts().pages);

        if (fehler == 0) {
            QVERIFY2(ergebnis.ok(), qPrintable(ergebnis.meldung));
            QCOMPARE(lauf.zaehler->counts().delivered, 1);
            QCOMPARE(lauf.zaehler->counts().pages, labels);
        } else {
            QCOMPARE(ergebnis.art, DateiDruck::Ergebnis::Fehler);
            QCOMPARE(ergebnis.fehler->number(), fehler);
            QVERIFY2(ergebnis.meldung.contains(QStringLiteral("Datei „feindlich.txt“, ") + stelle),
                     qPrintable(ergebnis.meldung));
            QCOMPARE(lauf.zaehler->counts().delivered, 0);
        }
        if (!ProcessMemory::sanitized())
            QVERIFY2(spitze < maxPeakMiB * 1024, qPrintable(QStringLiteral("Spitze +%1 KiB").arg(spitze)));
    }

    // 200,000 records: every label in file order, and the memory at the end
    // of the run is where it was after the first thousand.
    void manyRecords()
    {
        const int n = 200000;
        const QString path = schreiben(QStringLiteral("viele.txt"), saetze(n));
        Lauf lauf;
        lauf.sammeln = false;
        qint64 naechste = 1;
        bool inOrdnung = true;
        lauf.zaehler->setTextSeen([&](const QString &text, const FontSpec &font) {
            if (font.bold && font.size == 12) {
                inOrdnung = inOrdnung && text == QStringLiteral("B-%1").arg(naechste, 6, 10, QLatin1Char('0'));
                ++naechste;
            }
        });
        qint64 nachTausend = 0, amEnde = 0;
        lauf.druck->setFortschritt([&](qint64 erledigt, qint64 gesamt) {
            if (erledigt == 1000)
                nachTausend = ProcessMemory::residentKiB();
            if (erledigt == gesamt)
                amEnde = ProcessMemory::residentKiB();
            return true;
        });
        QElapsedTimer uhr;
        uhr.start();
        const auto ergebnis = lauf.druck->LabelDrucken(path, DateiDruck::Auswahl{});
        qInfo("200000 Sätze: %lld ms, Speicher nach 1000: %lld KiB, am Ende: %lld KiB", qint64(uhr.elapsed()),
              nachTausend, amEnde);
        QVERIFY2(ergebnis.ok(), qPrintable(ergebnis.meldung));
        QCOMPARE(lauf.zaehler->counts().pages, n);
        QCOMPARE(naechste - 1, n);
        QVERIFY(inOrdnung);
        if (!ProcessMemory::sanitized())
            QVERIFY2(amEnde - nachTausend < 4096, qPrintable(QStringLiteral("+%1 KiB").arg(amEnde - nachTausend)));
    }

    // The file changes under a running run: deleted, it is read to its end
    // (the open file stays readable); cut shorter, the run stops with error 57
    // at the line where the file ended early, and nothing is printed.
    void changedWhileRead_data()
    {
        QTest::addColumn<QString>("aenderung");
        QTest::addColumn<qint64>("rest"); // bytes left by a cut
        QTest::newRow("deleted") << "löschen" << qint64(-1);
        QTest::newRow("cut to a third") << "kürzen" << qint64(5000 * 64 / 3);
        QTest::newRow("cut to nothing") << "kürzen" << qint64(0);
    }
    void changedWhileRead()
    {
        QFETCH(QString, aenderung);
        QFETCH(qint64, rest);
        const int n = 5000; // about 320 KB, read in several blocks
        const QString path = schreiben(QStringLiteral("wechselnd.txt"), saetze(n));
        Lauf lauf;
        lauf.druck->setFortschritt([&](qint64 erledigt, qint64) {
            if (erledigt == 100) {
                if (aenderung == QStringLiteral("löschen"))
                    QFile::remove(path);
                else
                    QFile::resize(path, rest);
            }
            return true;
        });
        const auto ergebnis = lauf.druck->LabelDrucken(path, DateiDruck::Auswahl{});
        if (rest < 0) {
            QVERIFY2(ergebnis.ok(), qPrintable(ergebnis.meldung));
            QCOMPARE(lauf.bestellNr.size(), n);
            QCOMPARE(lauf.bestellNr.last(), QStringLiteral("B-005000"));
            return;
        }
        QCOMPARE(ergebnis.art, DateiDruck::Ergebnis::Fehler);
        QCOMPARE(ergebnis.fehler->number(), int(Datei::EinAusgabeFehler));
        const QRegularExpression zeile(QStringLiteral("Datei „wechselnd.txt“, Zeile (\\d+): die Datei wurde beim "
                                                      "Lesen gekürzt"));
        const auto m = zeile.match(ergebnis.meldung);
        QVERIFY2(m.hasMatch(), qPrintable(ergebnis.meldung));
        // The block read before the cut is printed up to its end, not beyond.
        QVERIFY(m.captured(1).toInt() > 100 && m.captured(1).toInt() <= n);
        QCOMPARE(lauf.zaehler->counts().delivered, 0);
        QCOMPARE(lauf.zaehler->counts().cancelled, 1);
    }
};

QTEST_MAIN(TestArticleFaults)
#include "tst_article_faults.moc"
