#include "barcode/Code128.h"
#include "runs/Datei.h"
#include "runs/DateiDruck.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel;
using runs::Datei;
using runs::DateiDruck;
using platform::Printer;
using platform::RecordedOp;
using platform::RecordingBackend;

using Points = QList<QPoint>;
using Texts = QStringList;
Q_DECLARE_METATYPE(Points)

namespace {

QString artikel(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

/// A run on the recording printer, as the window sets it up.
struct Lauf
{
    RecordingBackend *rec;
    std::unique_ptr<Printer> printer;
    barcode::Code128 code;
    std::unique_ptr<DateiDruck> druck;

    Lauf()
    {
        auto backend = std::make_unique<RecordingBackend>(300.0);
        rec = backend.get();
        printer = std::make_unique<Printer>(std::move(backend));
        code.InitBreite(*printer, 0);
        rec->clear();
        druck = std::make_unique<DateiDruck>(*printer, code);
    }
    const QList<RecordedOp> &ops() const { return rec->ops(); }

    /// The recorded pages: the operations between the page breaks of the job.
    QList<QList<RecordedOp>> pages() const
    {
        QList<QList<RecordedOp>> out;
        for (const auto &op : ops()) {
            if (op.kind == RecordedOp::BeginJob || op.kind == RecordedOp::NewPage)
                out.append(QList<RecordedOp>());
            else if (!out.isEmpty() && (op.kind == RecordedOp::Text || op.kind == RecordedOp::Line))
                out.last().append(op);
        }
        return out;
    }
    qsizetype count(RecordedOp::Kind kind) const
    {
        return std::count_if(ops().begin(), ops().end(), [kind](const auto &op) { return op.kind == kind; });
    }
    /// Height of one line in \a points Arial, as the printer advances it.
    double lineHeight(double points)
    {
        Printer p(std::make_unique<RecordingBackend>());
        p.setFontName("Arial");
        p.setFontSize(points);
        return p.TextHeight();
    }
};

/// Top-left corners of the labels: the bold 12-point order number stands 700
/// below, left of the price, which stands 3600 to the right.
Points labelOrigins(const QList<RecordedOp> &page)
{
    Points out;
    for (const auto &op : page)
        if (op.kind == RecordedOp::Text && op.font.bold && op.font.size == 12 && qRound(op.x) % 6000 < 3600)
            out << QPoint(qRound(op.x), qRound(op.y - 700));
    return out;
}

/// Texts of a page drawn in \a points and bold state, in drawing order.
Texts textsOf(const QList<RecordedOp> &page, double points, bool bold)
{
    Texts out;
    for (const auto &op : page)
        if (op.kind == RecordedOp::Text && op.font.size == points && op.font.bold == bold)
            out << op.text;
    return out;
}

const RecordedOp *textAt(const QList<RecordedOp> &page, const QString &text)
{
    for (const auto &op : page)
        if (op.kind == RecordedOp::Text && op.text == text)
            return &op;
    return nullptr;
}

} // namespace

class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void labelsAndCopies_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("copies");
        QTest::addColumn<Texts>("numbers");
        QTest::newRow("two records, one copy") << "zwei.txt" << 1 << Texts{"B-0001", "B-0002"};
        QTest::newRow("two records, three copies")
            << "zwei.txt" << 3 << Texts{"B-0001", "B-0001", "B-0001", "B-0002", "B-0002", "B-0002"};
        QTest::newRow("copy count 0 prints once") << "zwei.txt" << 0 << Texts{"B-0001", "B-0002"};
        QTest::newRow("empty file") << TARVEL_TEST_DATA "/datei/leer.txt" << 1 << Texts{};
    }
    void labelsAndCopies()
    {
        QFETCH(QString, file);
        QFETCH(int, copies);
        QFETCH(Texts, numbers);
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.kopien = copies;
        const auto result = lauf.druck->LabelDrucken(file.startsWith(u'/') ? file : artikel(file), a);
        QVERIFY2(result.ok(), qPrintable(result.meldung));
        QCOMPARE(result.meldung, QStringLiteral("Barcode erfolgreich gedruckt."));
        const auto pages = lauf.pages();
        QCOMPARE(pages.size(), numbers.size()); // one label a page, no blank page at the end
        for (qsizetype i = 0; i < pages.size(); ++i) {
            QCOMPARE(labelOrigins(pages[i]), Points{QPoint(0, 0)});
            QCOMPARE(textsOf(pages[i], 12, true), Texts{numbers[i]});
        }
        QCOMPARE(lauf.count(RecordedOp::EndJob), numbers.isEmpty() ? 0 : 1);
        QCOMPARE(lauf.count(RecordedOp::CancelJob), 0);
    }

    void labelLayout_data()
    {
        QTest::addColumn<int>("preis1");
        QTest::addColumn<bool>("lagerfach");
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("priceLine");
        QTest::newRow("EK") << 0 << false << "1,50 €" << 2;
        QTest::newRow("VK with storage bin") << 1 << true << "11,90 €" << 3;
        QTest::newRow("Listenpreis") << 2 << false << "12,95 €" << 2;
        QTest::newRow("leer") << 3 << true << QString() << 3;
    }
    void labelLayout()
    {
        QFETCH(int, preis1);
        QFETCH(bool, lagerfach);
        QFETCH(QString, price);
        QFETCH(int, priceLine);
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.preis1 = sheets::Preis(preis1);
        a.preis2 = sheets::Preis::EK; // labels show one price only
        a.lagerfach = lagerfach;
        a.waehrung = "€";
        a.startLabel = "9";
        QVERIFY(lauf.druck->LaserDrucken(artikel("zwei.txt"), a).ok());
        const auto page = lauf.pages().value(0);
        const double h8 = lauf.lineHeight(8), h12 = lauf.lineHeight(12);
        const int x = 6100, y = 700; // label 9: top of the second column

        const RecordedOp *first = textAt(page, "Buch 100.001");
        QVERIFY(first);
        QCOMPARE(QPointF(first->x, first->y), QPointF(x + 3600, y));
        QCOMPARE(first->font.size, 8.0);
        QCOMPARE(textAt(page, "MATCH1")->y, y + h8);
        QCOMPARE(textAt(page, "Lagerfach: R01") != nullptr, lagerfach);
        Texts big = textsOf(page, 12, true);
        if (price.isEmpty()) {
            QCOMPARE(big, (Texts{"B-0001", "B-0002"}));
        } else {
            const RecordedOp *p = textAt(page, price);
            QVERIFY2(p, qPrintable(big.join('|')));
            QCOMPARE(QPointF(p->x, p->y), QPointF(x + 3600, y + priceLine * h8));
        }
        const RecordedOp *number = textAt(page, "B-0001");
        QCOMPARE(QPointF(number->x, number->y), QPointF(x, y + 700));
        QCOMPARE(textAt(page, "Kurztext eins 1")->y, y + 700 + h12);
        QCOMPARE(textAt(page, "Kurztext zwei 1")->y, y + 700 + 2 * h12);
        QCOMPARE(textAt(page, "Kurztext eins 1")->font.bold, false);
        // The bars start at the label's corner and are 680 high.
        const auto bar = std::find_if(page.begin(), page.end(), [](const auto &op) { return op.isBar(); });
        QCOMPARE(QPointF(bar->x, bar->y), QPointF(x, y));
        QCOMPARE(bar->height, 680.0);
    }

    void laserPositions_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QList<Points>>("pages");
        const auto at = [](int col, int row) { return QPoint(col * 6000 + 100, row * 1930 + 700); };
        Points fullSheet;
        for (int col = 0; col < 2; ++col)
            for (int row = 0; row < 8; ++row)
                fullSheet << at(col, row);
        QTest::newRow("start 9") << "zwei.txt" << "9" << 1 << QList<Points>{{QPoint(6100, 700), at(1, 1)}};
        QTest::newRow("start 1") << "zwei.txt" << "1" << 1 << QList<Points>{{QPoint(100, 700), at(0, 1)}};
        QTest::newRow("start 0") << "zwei.txt" << "0" << 1 << QList<Points>{{QPoint(100, 700), at(0, 1)}};
        QTest::newRow("start 17 wraps") << "zwei.txt" << "17" << 1 << QList<Points>{{QPoint(100, 700), at(0, 1)}};
        QTest::newRow("start 16") << "zwei.txt" << "16" << 1 << QList<Points>{{at(1, 7)}, {at(0, 0)}};
        QTest::newRow("start not a number") << "zwei.txt" << "x" << 1 << QList<Points>{{at(0, 0), at(0, 1)}};
        QTest::newRow("3 copies of 2 records") << "zwei.txt" << "1" << 3
                                               << QList<Points>{{at(0, 0), at(0, 1), at(0, 2), at(0, 3), at(0, 4), at(0, 5)}};
        QTest::newRow("16 records fill one sheet") << "sechzehn.txt" << "1" << 1 << QList<Points>{fullSheet};
        QTest::newRow("17 records give a second sheet")
            << "siebzehn.txt" << "1" << 1 << QList<Points>{fullSheet, {QPoint(100, 700)}};
    }
    void laserPositions()
    {
        QFETCH(QString, file);
        QFETCH(QString, start);
        QFETCH(int, copies);
        QFETCH(QList<Points>, pages);
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.startLabel = start;
        a.kopien = copies;
        const auto result = lauf.druck->LaserDrucken(artikel(file), a);
        QVERIFY2(result.ok(), qPrintable(result.meldung));
        QCOMPARE(result.meldung, QStringLiteral("LaserLabels erfolgreich gedruckt."));
        const auto recorded = lauf.pages();
        QCOMPARE(recorded.size(), pages.size());
        for (qsizetype i = 0; i < pages.size(); ++i)
            QCOMPARE(labelOrigins(recorded[i]), pages[i]);
    }

    void listPages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("range");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("pageNumbers");
        QTest::addColumn<QList<int>>("firstRecord"); // per page; 0 for a page with only the header
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("12 records: second page with header only")
            << "zwoelf.txt" << false << 0 << 0 << QList<int>{1, 2} << QList<int>{1, 0} << QList<int>{12, 0};
        QTest::newRow("17 records") << "siebzehn.txt" << false << 0 << 0 << QList<int>{1, 2} << QList<int>{1, 13}
                                    << QList<int>{12, 5};
        QTest::newRow("range 2 to 3") << "vierzig.txt" << true << 2 << 3 << QList<int>{2, 3} << QList<int>{13, 25}
                                      << QList<int>{12, 12};
        QTest::newRow("to below from") << "vierzig.txt" << true << 3 << 1 << QList<int>{3} << QList<int>{25}
                                       << QList<int>{12};
        QTest::newRow("range 0 to 0") << "vierzig.txt" << true << 0 << 0 << QList<int>{1} << QList<int>{1}
                                      << QList<int>{12};
        QTest::newRow("from beyond the end") << "vierzig.txt" << true << 9 << 9 << QList<int>{4} << QList<int>{0}
                                             << QList<int>{0};
        QTest::newRow("empty file") << TARVEL_TEST_DATA "/datei/leer.txt" << false << 0 << 0 << QList<int>{1}
                                    << QList<int>{0} << QList<int>{0};
    }
    void listPages()
    {
        QFETCH(QString, file);
        QFETCH(bool, range);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, pageNumbers);
        QFETCH(QList<int>, firstRecord);
        QFETCH(QList<int>, rows);
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.seitenBereich = range;
        a.vonSeite = from;
        a.bisSeite = to;
        a.datum = QDate(2026, 12, 5);
        const auto result = lauf.druck->ListeDrucken(file.startsWith(u'/') ? file : artikel(file), a);
        QVERIFY2(result.ok(), qPrintable(result.meldung));
        QCOMPARE(result.meldung, QStringLiteral("Barcode erfolgreich gedruckt."));
        const auto pages = lauf.pages();
        QCOMPARE(pages.size(), pageNumbers.size());
        const QString date = QLocale().toString(QDate(2026, 12, 5), QLocale().dateFormat(QLocale::ShortFormat)
                                                                        .replace("yyyy", "yy").replace("yy", "yyyy"));
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const auto &page = pages[i];
            const RecordedOp *title = textAt(page, "Barcode-Liste vom " + date);
            QVERIFY2(title, qPrintable(textsOf(page, 10, false).join('|')));
            QCOMPARE(QPointF(title->x, title->y), QPointF(500, 300));
            QVERIFY(title->font.italic);
            QCOMPARE(title->color, QColor(0, 0, 128));
            const RecordedOp *seite = textAt(page, "Seite ");
            QCOMPARE(QPointF(seite->x, seite->y), QPointF(5500, 300));
            QCOMPARE(textsOf(page, 10, false).value(2), Printer::NumberItem(pageNumbers[i]));
            // Bold order numbers under the bars: one per row, 1200 apart from 900 on.
            const Texts numbers = textsOf(page, 10, true);
            QCOMPARE(numbers.size(), rows[i]);
            for (int r = 0; r < rows[i]; ++r) {
                const QString expected = QStringLiteral("B-%1").arg(firstRecord[i] + r, 4, 10, QChar(u'0'));
                const RecordedOp *n = textAt(page, expected);
                QVERIFY2(n, qPrintable(expected));
                QCOMPARE(QPointF(n->x, n->y), QPointF(5500, 900 + r * 1200 + 750));
                QCOMPARE(n->color, QColor(Qt::black));
            }
        }
        // The window's next run starts from plain text, also after a page with only its header.
        lauf.rec->clear();
        QVERIFY(lauf.druck->ProbeDrucken(DateiDruck::Auswahl()).ok());
        for (const auto &op : lauf.ops()) {
            if (op.kind == RecordedOp::Text)
                QVERIFY2(!op.font.italic && op.color == QColor(Qt::black), qPrintable(op.text));
        }
    }

    void listDateIsTheFullShortDate()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.datum = QDate(2026, 12, 5);
        QVERIFY(lauf.druck->ListeDrucken(TARVEL_TEST_DATA "/datei/leer.txt", a).ok());
        QLocale::setDefault(before);
        QVERIFY(textAt(lauf.pages().value(0), "Barcode-Liste vom 05.12.2026"));
    }

    void listTextBlock_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("preis1");
        QTest::addColumn<int>("preis2");
        QTest::addColumn<bool>("lagerfach");
        QTest::addColumn<QString>("at500");  // caption at 500, bold price behind it
        QTest::addColumn<QString>("at3500"); // caption at 3500, bold price behind it
        QTest::addColumn<int>("priceLine");
        QTest::newRow("VK and leer") << "zwei.txt" << 1 << 3 << false << "Preis: |11,90 EUR" << QString() << 3;
        QTest::newRow("EK and Liste, storage bin")
            << "zwei.txt" << 0 << 2 << true << "EK-Preis: |1,50 EUR" << "Liste: |12,95 EUR" << 4;
        QTest::newRow("leer and VK") << "zwei.txt" << 3 << 1 << false << QString() << "Preis: |11,90 EUR" << 3;
        // The sample's first record has a third short text: the price line moves down.
        QTest::newRow("KurzText3 and storage bin")
            << "../artikel/beispiel.txt" << 2 << 0 << true << "Liste: |19,90 EUR" << "EK-Preis: |12,50 EUR" << 5;
    }
    void listTextBlock()
    {
        QFETCH(QString, file);
        QFETCH(int, preis1);
        QFETCH(int, preis2);
        QFETCH(bool, lagerfach);
        QFETCH(QString, at500);
        QFETCH(QString, at3500);
        QFETCH(int, priceLine);
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.preis1 = sheets::Preis(preis1);
        a.preis2 = sheets::Preis(preis2);
        a.lagerfach = lagerfach;
        a.waehrung = "EUR";
        QVERIFY(lauf.druck->ListeDrucken(artikel(file), a).ok());
        const auto page = lauf.pages().value(0);
        const double h8 = lauf.lineHeight(8);
        const double y = 900 + priceLine * h8;
        const auto priceAt = [&](double x) {
            QStringList parts;
            for (const auto &op : page)
                if (op.kind == RecordedOp::Text && op.y == y && op.font.size == 8
                    && (qFuzzyCompare(op.x, x) || (!parts.isEmpty() && op.font.bold)) && parts.size() < 2)
                    parts << op.text;
            return parts.join('|');
        };
        QCOMPARE(priceAt(500), at500);
        QCOMPARE(priceAt(3500), at3500);
        const RecordedOp *match = nullptr;
        for (const auto &op : page)
            if (op.kind == RecordedOp::Text && op.text.startsWith("Matchcode: ") && !match)
                match = &op;
        QCOMPARE(QPointF(match->x, match->y), QPointF(500, 900));
        QCOMPARE(textAt(page, "Lagerfach: R01") != nullptr || textAt(page, "Lagerfach: R12-03") != nullptr,
                 lagerfach);
        const auto bar = std::find_if(page.begin(), page.end(), [](const auto &op) { return op.isBar(); });
        QCOMPARE(QPointF(bar->x, bar->y), QPointF(5500, 900));
    }

    void errorInRecordCancelsTheJob_data()
    {
        QTest::addColumn<int>("run");
        QTest::newRow("labels") << 0;
        QTest::newRow("laser") << 1;
        QTest::newRow("list") << 2;
    }
    void errorInRecordCancelsTheJob()
    {
        QFETCH(int, run);
        Lauf lauf;
        DateiDruck::Auswahl a;
        const QString file = artikel("fehler_zeile7.txt");
        const auto result = run == 0   ? lauf.druck->LabelDrucken(file, a)
                            : run == 1 ? lauf.druck->LaserDrucken(file, a)
                                       : lauf.druck->ListeDrucken(file, a);
        QCOMPARE(result.art, DateiDruck::Ergebnis::Fehler);
        QVERIFY(result.meldung.startsWith("Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\r"));
        QVERIFY2(result.meldung.contains("„fehler_zeile7.txt“, Zeile 7, Feld BestellNr: Zeichen \"ä\" an Stelle 2"),
                 qPrintable(result.meldung));
        QCOMPARE(lauf.count(RecordedOp::CancelJob), 1);
        QCOMPARE(lauf.count(RecordedOp::EndJob), 0);
        QVERIFY(!lauf.printer->hasOpenJob());
    }

    void missingFileIsReported_data() { errorInRecordCancelsTheJob_data(); }
    void missingFileIsReported()
    {
        QFETCH(int, run);
        Lauf lauf;
        DateiDruck::Auswahl a;
        const QString file = artikel("fehlt.txt");
        const auto result = run == 0   ? lauf.druck->LabelDrucken(file, a)
                            : run == 1 ? lauf.druck->LaserDrucken(file, a)
                                       : lauf.druck->ListeDrucken(file, a);
        QCOMPARE(result.art, DateiDruck::Ergebnis::Fehler);
        QCOMPARE(result.fehler->number(), 53);
        QVERIFY2(result.meldung.contains(QDir::toNativeSeparators(file)), qPrintable(result.meldung));
        QVERIFY(lauf.ops().isEmpty());
    }

    void cancelFromProgress()
    {
        Lauf lauf;
        QList<qint64> seen;
        lauf.druck->setFortschritt([&](qint64 done, qint64 total) {
            seen << done;
            return total == 17 && done < 3;
        });
        const auto result = lauf.druck->LaserDrucken(artikel("siebzehn.txt"), {});
        QCOMPARE(result.art, DateiDruck::Ergebnis::Abgebrochen);
        QCOMPARE(seen, (QList<qint64>{0, 1, 2, 3}));
        QCOMPARE(lauf.count(RecordedOp::CancelJob), 1);
        QCOMPARE(lauf.count(RecordedOp::EndJob), 0);
    }

    void printerFaultCancelsTheJob()
    {
        Lauf lauf;
        lauf.druck->setFortschritt([&](qint64 done, qint64) {
            if (done == 1)
                lauf.rec->failNextOperation(); // the first drawing of record 2
            return true;
        });
        const auto result = lauf.druck->LabelDrucken(artikel("zwei.txt"), {});
        QCOMPARE(result.art, DateiDruck::Ergebnis::Fehler);
        QCOMPARE(result.fehler->number(), 482);
        QVERIFY2(result.meldung.contains("Zeile 2"), qPrintable(result.meldung));
        QCOMPARE(lauf.count(RecordedOp::CancelJob), 1);
    }

    void testLabel()
    {
        Lauf lauf;
        DateiDruck::Auswahl a;
        a.preis1 = sheets::Preis::VK;
        a.waehrung = "DM";
        a.lagerfach = true;
        const auto result = lauf.druck->ProbeDrucken(a);
        QVERIFY(result.ok());
        QCOMPARE(result.meldung, QStringLiteral("Test-Label erfolgreich gedruckt."));
        const auto pages = lauf.pages();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(labelOrigins(pages[0]), Points{QPoint(0, 0)});
        QVERIFY(textAt(pages[0], " 123.456"));
        QVERIFY(textAt(pages[0], "BOELKSTOFF"));
        QVERIFY(textAt(pages[0], "Lagerfach: AB1234"));
        QVERIFY(textAt(pages[0], "123456,12 DM"));
        QVERIFY(textAt(pages[0], "Das sind noch mal ganz genau 40 Zeichen."));
        QVERIFY(!textAt(pages[0], "Dritte Kurzttextzeile..................."));
        QCOMPARE(lauf.count(RecordedOp::EndJob), 1);
    }

    void endToEndBarcodesDecode_data()
    {
        QTest::addColumn<int>("run");
        QTest::newRow("laser") << 1;
        QTest::newRow("list") << 2;
    }
    void endToEndBarcodesDecode()
    {
        QFETCH(int, run);
        QTemporaryDir jobs;
        platform::PdfBackend::setJobsFolder(jobs.path());
        Printer printer(std::make_unique<platform::PdfBackend>());
        barcode::Code128 code;
        code.InitBreite(printer, 0);
        DateiDruck druck(printer, code);
        DateiDruck::Auswahl a;
        a.preis1 = sheets::Preis::VK;
        a.preis2 = sheets::Preis::Listenpreis;
        a.waehrung = "€";
        const QString file = artikel("beispiel.txt");
        const auto result = run == 1 ? druck.LaserDrucken(file, a) : druck.ListeDrucken(file, a);
        QVERIFY2(result.ok(), qPrintable(result.meldung));
        QVERIFY(QFileInfo(result.ziel).isFile());
        platform::PdfBackend::setJobsFolder({});

        QStringList expected;
        Datei d;
        d.Oeffnen(file);
        while (d.Lesen())
            expected << d.BestellNr;
        QCOMPARE(expected.size(), 14);

        const test::PdfPages pdf(result.ziel);
        QCOMPARE(pdf.pageCount(), run == 1 ? 1 : 2);
        QStringList decoded;
        const double px = 300.0 / 1440.0;
        for (int p = 1; p <= pdf.pageCount(); ++p) {
            const QImage page = pdf.render(p, 300);
            if (run == 1) {
                for (int col = 0; col < 2; ++col)
                    for (int row = 0; row < 8; ++row)
                        decoded << test::BarcodeDecoder::decodeArea(
                            page, QRect(int((col * 6000 + 100) * px), int((row * 1930 + 700) * px), int(3550 * px),
                                        int(680 * px)));
            } else {
                for (int row = 0; row < 12; ++row)
                    decoded << test::BarcodeDecoder::decodeArea(
                        page, QRect(int(5500 * px), int((900 + row * 1200) * px), page.width() - int(5500 * px),
                                    int(680 * px)));
            }
        }
        QCOMPARE(decoded, expected);
        const QString text = pdf.text();
        QVERIFY2(text.contains("Grüße aus Österreich"), qPrintable(text.left(2000)));
        QVERIFY(text.contains(run == 1 ? "19,90 €" : "Liste:"));
    }
};

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
