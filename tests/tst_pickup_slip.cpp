#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "support/RecordedJob.h"

#include <QtTest>

using namespace tarvel::labelprinter;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Ops = RecordedJob::Ops;

namespace {

const QStringList Lines{"Zeile 0", "Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5"};
const QString Closing = QStringLiteral("Abholung bis 20.12.");

struct SlipJob : RecordedJob
{
    PlainBarWidthBoxes boxes{QStringLiteral("0")};
    LabelData data;

    SlipJob()
    {
        data.Preis1 = "19,90 EUR";
        data.Preis2 = "38,92 DM";
        data.MatchCode = "MUSTER";
        data.ISBN = "978-3-16-148410-0";
        data.Datum = "05.12.2026";
        data.Menge = "2";
        data.Bemerkung = "bezahlt";
        data.Name1 = "Erika Mustermann";
        data.Name2 = "c/o Buchhandlung";
        data.Strasse = "Hauptstr. 1";
        data.PLZ = "12345";
        data.Ort = "Musterstadt";
        data.VorgangsNr = "V-2026-0815";
        data.SchlussText = Closing;
    }
    Ops slip(qint16 perPage, const QStringList &lines = Lines, const QString &anrede = "Frau")
    {
        return during([&] { Abholschein(printer(), code(), boxes, data).Drucke(lines, "z. Hd. Herrn Beispiel", anrede, perPage); });
    }
};

} // namespace

class TestPickupSlip : public QObject
{
    Q_OBJECT

private slots:
    /// The quarter of each start position: filled column by column.
    void quarters_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("1 top left") << 1 << QPoint(0, 0);
        QTest::newRow("2 bottom left") << 2 << QPoint(0, 5800);
        QTest::newRow("3 top right") << 3 << QPoint(8400, 0);
        QTest::newRow("4 bottom right") << 4 << QPoint(8400, 5800);
        QTest::newRow("5 top left again") << 5 << QPoint(0, 0);
        QTest::newRow("0 acts as 1") << 0 << QPoint(0, 0);
    }
    void quarters()
    {
        QFETCH(int, start);
        QFETCH(QPoint, corner);
        SlipJob job;
        job.data.StartPosition = start;
        const auto ops = job.slip(4);
        QCOMPARE(QPointF(job.text(ops, "Datum: ")->x, job.text(ops, "Datum: ")->y), QPointF(corner + QPoint(5300, 0)));
        QCOMPARE(job.text(ops, "05.12.2026")->x, corner.x() + 6300.0);
        QCOMPARE(QPointF(job.text(ops, "Frau")->x, job.text(ops, "Frau")->y), QPointF(corner + QPoint(800, 0)));
        QCOMPARE(job.first(ops, Op::Line)->x, corner.x() + 800.0);
        QCOMPARE(job.data.StartPosition, qMax(start, 1) + 1);
    }

    /// Four to a page from position 1 or as the host set it; the page ends after the fourth quarter.
    void pageEndsAfterTheFourthQuarter_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("slipsOnFirstPage");
        QTest::newRow("from 1") << 1 << 4;
        QTest::newRow("from 3") << 3 << 2;
    }
    void pageEndsAfterTheFourthQuarter()
    {
        QFETCH(int, start);
        QFETCH(int, slipsOnFirstPage);
        SlipJob job;
        job.data.StartPosition = start;
        for (int i = 0; i < slipsOnFirstPage; ++i)
            job.slip(4);
        QCOMPARE(job.count(Op::NewPage), 0);
        const auto next = job.slip(4);
        QCOMPARE(next.first().kind, Op::NewPage);
        QCOMPARE(QPointF(job.text(next, "Frau")->x, job.text(next, "Frau")->y), QPointF(800, 0));
    }

    /// One slip a page, as on the label printer: position 1 each time, top left, page end after each.
    void onePerPage()
    {
        SlipJob job;
        job.data.StartPosition = 3; // left by a sheet run
        for (int i = 0; i < 3; ++i) {
            job.data.StartPosition = 1;
            const auto ops = job.slip(1);
            QCOMPARE(ops.first().kind, i == 0 ? Op::BeginJob : Op::NewPage);
            QCOMPARE(QPointF(job.text(ops, "Frau")->x, job.text(ops, "Frau")->y), QPointF(800, 0));
        }
        job.probe();
        QCOMPARE(job.count(Op::NewPage), 3);
    }

    /// Empty salutation, second name, ISBN and free lines take no line; other empty fields do.
    void emptyLines_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("lineSize"); // 0: still takes its line
        QTest::newRow("Anrede") << "Anrede" << 10.0;
        QTest::newRow("Name2") << "Name2" << 10.0;
        QTest::newRow("ISBN") << "ISBN" << 8.0;
        QTest::newRow("Zeile 2") << "Zeile" << 8.0;
        QTest::newRow("Strasse") << "Strasse" << 0.0;
        QTest::newRow("MatchCode") << "MatchCode" << 0.0;
    }
    void emptyLines()
    {
        QFETCH(QString, field);
        QFETCH(double, lineSize);
        SlipJob full;
        const auto fullOps = full.slip(4);
        SlipJob job;
        QStringList lines = Lines;
        QString anrede = "Frau";
        QString *const fields[] = {&anrede, &lines[2], &job.data.Name2, &job.data.ISBN, &job.data.Strasse, &job.data.MatchCode};
        const QStringList names{"Anrede", "Zeile", "Name2", "ISBN", "Strasse", "MatchCode"};
        fields[names.indexOf(field)]->clear();
        const auto ops = job.slip(4, lines, anrede);
        const double shift = lineSize > 0 ? job.lineHeight(lineSize) : 0.0;
        QVERIFY(qAbs(job.text(ops, Closing)->y - (job.text(fullOps, Closing)->y - shift)) < 0.01);
        // The turned name moves with the closing text; the right column never moves.
        QVERIFY(qAbs(job.first(ops, Op::RotatedText)->y - (job.first(fullOps, Op::RotatedText)->y - shift)) < 0.01);
        QCOMPARE(job.text(ops, "bezahlt")->y, job.text(fullOps, "bezahlt")->y);
    }

    /// Down the left column: name 16 bold, town 14 bold, prices, bars, then the number
    /// 700 and the match code 950 below the bars' top, all in 8 point from there.
    void leftColumn()
    {
        SlipJob job;
        job.boxes.setStrichbreite("3");
        const auto ops = job.slip(4);
        const double h10 = job.lineHeight(10), h16b = job.lineHeight(16, true), h14b = job.lineHeight(14, true);
        const auto *name = job.text(ops, "Erika Mustermann");
        QCOMPARE(name->y, h10);
        QCOMPARE(name->font, (tarvel::platform::FontSpec{"Arial", 16, true, false}));
        QCOMPARE(job.text(ops, "12345")->font.size, 14.0);
        const double prices = h10 + h16b + 2 * h10 + h14b + h10;
        QVERIFY(qAbs(job.text(ops, "19,90 EUR")->y - prices) < 0.01);
        const auto *bar = job.first(ops, Op::Line);
        QCOMPARE(bar->y, std::nearbyint(prices + 2 * h10));
        QCOMPARE(bar->height, 680.0);
        QCOMPARE(bar->penWidth, 3.0); // the bar-width step ran first
        QCOMPARE(job.text(ops, "V-2026-0815")->y, bar->y + 700);
        QCOMPARE(job.text(ops, "MUSTER")->y, bar->y + 950);
        QCOMPARE(job.text(ops, "Zeile 0")->font.size, 8.0);
        QVERIFY(job.text(ops, "Zeile 4") && !job.text(ops, "Zeile 5"));
        // The right column's remark in 16 bold, below five order lines and the attention line.
        QVERIFY(qAbs(job.text(ops, "bezahlt")->y - 6 * h10) < 0.01);
        QVERIFY(job.text(ops, "bezahlt")->font.bold);
    }

    /// The turned name: 100 twips into the slip, level with the line below the closing
    /// text, FontSize 14 × 24 twips high, default sans at normal weight.
    void turnedName_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("left");
        QTest::newRow("top left") << 1 << 100;
        QTest::newRow("bottom right") << 4 << 8500;
    }
    void turnedName()
    {
        QFETCH(int, start);
        QFETCH(int, left);
        SlipJob job;
        job.data.StartPosition = start;
        const auto ops = job.slip(4);
        const auto *turned = job.first(ops, Op::RotatedText);
        QCOMPARE(turned->text, QStringLiteral("Erika Mustermann"));
        QCOMPARE(turned->x, double(left));
        QVERIFY(qAbs(turned->y - (job.text(ops, Closing)->y + job.lineHeight(8))) < 0.01);
        QCOMPARE(turned->height, 14.0 * 24);
        QCOMPARE(turned->font.name, QStringLiteral("Liberation Sans"));
        QVERIFY(!turned->font.bold);
    }

    /// Refused before anything is drawn and before the position moves on.
    void refusedArguments_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("error");
        QTest::newRow("StartPosition -1") << -1 << 6 << 4 << 5;
        QTest::newRow("four lines") << 1 << 4 << 4 << 9;
        QTest::newRow("SeitenProBlatt 0") << 1 << 6 << 0 << 5;
        QTest::newRow("five lines are enough") << 2 << 5 << 4 << 0;
    }
    void refusedArguments()
    {
        QFETCH(int, start);
        QFETCH(int, lines);
        QFETCH(int, perPage);
        QFETCH(int, error);
        SlipJob job;
        job.data.StartPosition = start;
        QCOMPARE(job.errorOf([&] { job.slip(qint16(perPage), Lines.mid(0, lines)); }), error);
        QCOMPARE(job.ops().isEmpty(), error != 0);
        QCOMPARE(job.data.StartPosition, error ? start : start + 1);
    }
};

QTEST_MAIN(TestPickupSlip)
#include "tst_pickup_slip.moc"
