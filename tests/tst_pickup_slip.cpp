#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "support/RecordedJob.h"

#include <QtTest>

using namespace tarvel::labelprinter;
using tarvel::platform::FontSpec;
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
        data.Preis1 = "19,90 EUR", data.Preis2 = "38,92 DM", data.MatchCode = "MUSTER";
        data.ISBN = "978-3-16-148410-0", data.Datum = "05.12.2026", data.Menge = "2", data.Bemerkung = "bezahlt";
        data.Name1 = "Erika Mustermann", data.Name2 = "c/o Buchhandlung", data.Strasse = "Hauptstr. 1";
        data.PLZ = "12345", data.Ort = "Musterstadt", data.VorgangsNr = "V-2026-0815", data.SchlussText = Closing;
    }
    Ops slip(qint16 perPage, const QStringList &lines = Lines, const QString &anrede = "Frau")
    {
        return during([&] { Abholschein(printer(), code(), boxes, data).Drucke(lines, "z. Hd. Herrn Beispiel", anrede, perPage); });
    }
};

QPointF at(const Op *op)
{
    return op ? QPointF(op->x, op->y) : QPointF(-1, -1);
}

} // namespace

class TestPickupSlip : public QObject
{
    Q_OBJECT

private slots:
    /// The quarter of each start position, filled column by column: the slip
    /// sits well in it, the address block and the right column start at its top,
    /// and the name turned in the margin rises from the line below the closing
    /// text, 100 twips into the slip, FontSize 14 × 24 twips high, at normal weight.
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
        QCOMPARE(job.crowded(ops, QRectF(corner, QSizeF(8400, 5800))), QString());
        QCOMPARE(at(job.text(ops, "Frau")), corner + QPointF(800, 0));
        QCOMPARE(at(job.text(ops, "Datum: ")), corner + QPointF(5300, 0));
        QCOMPARE(at(job.text(ops, "05.12.2026")), corner + QPointF(6300, 0));
        QCOMPARE(at(job.text(ops, "bezahlt")), corner + QPointF(5300, 6 * job.lineHeight(10)));
        const auto *turned = job.first(ops, Op::RotatedText);
        QCOMPARE(turned->text, QStringLiteral("Erika Mustermann"));
        QCOMPARE(at(turned), QPointF(corner.x() + 100, job.text(ops, Closing)->y + job.lineHeight(8)));
        QCOMPARE(turned->height, 14.0 * 24);
        QCOMPARE(turned->font, (FontSpec{"Liberation Sans", 16.8}));
        QCOMPARE(job.data.StartPosition, qMax(start, 1) + 1);
    }

    /// The page ends after the slip in the fourth quarter, or after each slip
    /// when one goes to a page (the host sets StartPosition to 1 for each).
    void pageEnd_data()
    {
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("slipsOnFirstPage");
        QTest::newRow("four a page, from 1") << 4 << 1 << 4;
        QTest::newRow("four a page, from 3") << 4 << 3 << 2;
        QTest::newRow("one a page") << 1 << 1 << 1;
    }
    void pageEnd()
    {
        QFETCH(int, perPage);
        QFETCH(int, start);
        QFETCH(int, slipsOnFirstPage);
        SlipJob job;
        job.data.StartPosition = start;
        for (int i = 0; i < slipsOnFirstPage; ++i)
            job.slip(qint16(perPage));
        QCOMPARE(job.count(Op::NewPage), 0);
        if (perPage == 1)
            job.data.StartPosition = 1;
        const auto next = job.slip(qint16(perPage));
        QCOMPARE(next.first().kind, Op::NewPage);
        QCOMPARE(at(job.text(next, "Frau")), QPointF(800, 0));
    }

    /// Empty salutation, second name, ISBN and free lines take no line; other
    /// empty fields do. The right column never moves.
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
        const auto full = SlipJob().slip(4);
        SlipJob job;
        QStringList lines = Lines;
        QString anrede = "Frau";
        QString *const fields[] = {&anrede, &lines[2], &job.data.Name2, &job.data.ISBN, &job.data.Strasse, &job.data.MatchCode};
        fields[QStringList{"Anrede", "Zeile", "Name2", "ISBN", "Strasse", "MatchCode"}.indexOf(field)]->clear();
        const auto ops = job.slip(4, lines, anrede);
        const double shift = lineSize > 0 ? job.lineHeight(lineSize) : 0.0;
        QVERIFY(qAbs(job.text(ops, Closing)->y - (job.text(full, Closing)->y - shift)) < 0.01);
        QVERIFY(qAbs(job.first(ops, Op::RotatedText)->y - (job.first(full, Op::RotatedText)->y - shift)) < 0.01);
        QCOMPARE(job.text(ops, "bezahlt")->y, job.text(full, "bezahlt")->y);
    }

    /// Down the left column: name 16 bold, town 14 bold, prices, the bars after
    /// the bar-width step, then number and match code 700 and 950 below the bars'
    /// top, and everything from there in 8 point regular; Zeile(5) never.
    void leftColumn()
    {
        SlipJob job;
        job.boxes.setStrichbreite("3");
        const auto ops = job.slip(4);
        const double h10 = job.lineHeight(10);
        QCOMPARE(job.text(ops, "Erika Mustermann")->y, h10);
        QCOMPARE(job.text(ops, "Erika Mustermann")->font, (FontSpec{"Arial", 16, true}));
        QCOMPARE(job.text(ops, "Musterstadt")->font, (FontSpec{"Arial", 14, true}));
        const double prices = h10 + job.lineHeight(16, true) + 2 * h10 + job.lineHeight(14, true) + h10;
        QVERIFY(qAbs(job.text(ops, "19,90 EUR")->y - prices) < 0.01);
        const auto *bar = job.first(ops, Op::Line);
        QCOMPARE(bar->y, std::nearbyint(prices + 2 * h10));
        QCOMPARE(bar->height, 680.0);
        QCOMPARE(bar->penWidth, 3.0);
        QCOMPARE(job.text(ops, "V-2026-0815")->y, bar->y + 700);
        QCOMPARE(job.text(ops, "MUSTER")->y, bar->y + 950);
        for (const QString &text : QStringList{"V-2026-0815", "MUSTER", "978-3-16-148410-0", "Zeile 0", "Zeile 4", Closing})
            QCOMPARE(job.text(ops, text)->font, (FontSpec{"Arial", 8}));
        QVERIFY(!job.text(ops, "Zeile 5"));
    }

    /// Refused before anything is drawn and before the position moves on.
    void refusedArguments_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("error");
        QTest::newRow("StartPosition -1")
            << -1 << 6 << 4
            << "Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (Abholschein: StartPosition -1, "
               "erlaubt sind Positionen ab 1)";
        QTest::newRow("SeitenProBlatt 0")
            << 1 << 6 << 0
            << "Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (Abholschein: SeitenProBlatt 0, "
               "erlaubt sind 1 bis 4)";
        QTest::newRow("four lines")
            << 1 << 4 << 4
            << "Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (Abholschein: 4 Zeilen übergeben, gebraucht "
               "werden die Zeilen 0 bis 4)";
        QTest::newRow("five lines are enough") << 2 << 5 << 4 << "";
    }
    void refusedArguments()
    {
        QFETCH(int, start);
        QFETCH(int, lines);
        QFETCH(int, perPage);
        QFETCH(QString, error);
        SlipJob job;
        job.data.StartPosition = start;
        QCOMPARE(job.messageOf([&] { job.slip(qint16(perPage), Lines.mid(0, lines)); }), error);
        QCOMPARE(job.ops().isEmpty(), !error.isEmpty());
        QCOMPARE(job.data.StartPosition, error.isEmpty() ? start + 1 : start);
    }
};

QTEST_MAIN(TestPickupSlip)
#include "tst_pickup_slip.moc"
