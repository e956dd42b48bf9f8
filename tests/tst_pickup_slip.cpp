#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/FontDrehen.h"
#include "labelprinter/LabelData.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel::platform;
using namespace tarvel::labelprinter;
using tarvel::barcode::Code128;

namespace {

LabelData order()
{
    LabelData d;
    d.Preis1 = "19,90 EUR";
    d.Preis2 = "38,92 DM";
    d.MatchCode = "MUSTER";
    d.ISBN = "978-3-16-148410-0";
    d.Datum = "05.12.2026";
    d.KdNr = "10042";
    d.Telefon = "0711 123456";
    d.BestellDatum = "01.12.2026";
    d.Menge = "2";
    d.Bemerkung = "bezahlt";
    d.Name1 = "Erika Mustermann";
    d.Name2 = "c/o Buchhandlung";
    d.Strasse = "Hauptstr. 1";
    d.PLZ = "12345";
    d.Ort = "Musterstadt";
    d.VorgangsNr = "V-2026-0815";
    d.SchlussText = "Abholung bis 20.12.";
    return d;
}

const QStringList Lines{"Zeile 0", "Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5"};

struct SlipJob
{
    RecordingBackend *rec = nullptr;
    std::unique_ptr<Printer> printer;
    Code128 code;
    PlainBarWidthBoxes boxes{QStringLiteral("0")};
    LabelData data = order();

    SlipJob()
    {
        auto backend = std::make_unique<RecordingBackend>(300);
        rec = backend.get();
        printer = std::make_unique<Printer>(std::move(backend));
    }
    QList<RecordedOp> slip(qint16 perPage, const QStringList &lines = Lines, const QString &anrede = "Frau",
                           const QString &zuHaenden = "z. Hd. Herrn Beispiel")
    {
        const auto from = rec->ops().size();
        Abholschein(*printer, code, boxes, data).Drucke(lines, zuHaenden, anrede, perPage);
        return rec->ops().mid(from);
    }
    void probe() { printer->Print("Probe"); }
    double height(const QString &font, double size, bool bold)
    {
        printer->setFontName(font);
        printer->setFontSize(size);
        printer->setFontBold(bold);
        return printer->TextHeight();
    }
};

const RecordedOp *textOf(const QList<RecordedOp> &ops, const QString &text)
{
    for (const auto &op : ops)
        if (op.kind == RecordedOp::Text && op.text == text)
            return &op;
    return nullptr;
}

const RecordedOp *firstOf(const QList<RecordedOp> &ops, RecordedOp::Kind kind)
{
    for (const auto &op : ops)
        if (kind == RecordedOp::Line ? op.isBar() : op.kind == kind)
            return &op;
    return nullptr;
}

int countOf(const QList<RecordedOp> &ops, RecordedOp::Kind kind)
{
    int n = 0;
    for (const auto &op : ops)
        n += op.kind == kind;
    return n;
}

int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

class TestPickupSlip : public QObject
{
    Q_OBJECT

private slots:
    /// Quarter of a sheet for each start position: column by column.
    void quarters_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("1 top left") << 1 << QPoint(0, 0);
        QTest::newRow("2 bottom left") << 2 << QPoint(0, 5800);
        QTest::newRow("3 top right") << 3 << QPoint(8400, 0);
        QTest::newRow("4 bottom right") << 4 << QPoint(8400, 5800);
        QTest::newRow("5 top left of the next") << 5 << QPoint(0, 0);
        QTest::newRow("0 acts as 1") << 0 << QPoint(0, 0);
    }
    void quarters()
    {
        QFETCH(int, start);
        QFETCH(QPoint, corner);
        SlipJob job;
        job.data.StartPosition = start;
        const auto ops = job.slip(4);
        const int c = corner.x(), r = corner.y();
        QCOMPARE(textOf(ops, "Datum: ")->x, c + 5300.0);
        QCOMPARE(textOf(ops, "Datum: ")->y, double(r));
        QCOMPARE(textOf(ops, "05.12.2026")->x, c + 6300.0);
        QCOMPARE(textOf(ops, "Frau")->x, c + 800.0);
        QCOMPARE(textOf(ops, "Frau")->y, double(r));
        QCOMPARE(firstOf(ops, RecordedOp::Line)->x, c + 800.0);
        QCOMPARE(firstOf(ops, RecordedOp::RotatedText)->x, c + 100.0);
        QCOMPARE(job.data.StartPosition, qMax(start, 1) + 1);
    }

    void fourToAPage()
    {
        SlipJob job;
        job.data.StartPosition = 1;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(countOf(job.slip(4), RecordedOp::NewPage), 0);
        }
        // The page ends after the fourth slip, the fifth goes top left of the next.
        const auto fifth = job.slip(4);
        QCOMPARE(fifth.first().kind, RecordedOp::NewPage);
        QCOMPARE(countOf(job.rec->ops(), RecordedOp::NewPage), 1);
        QCOMPARE(textOf(fifth, "Frau")->x, 800.0);
        QCOMPARE(textOf(fifth, "Frau")->y, 0.0);
    }

    /// After the host set position 3: top right, bottom right, then a new sheet.
    void fromPositionThree()
    {
        SlipJob job;
        job.data.StartPosition = 3;
        QCOMPARE(firstOf(job.slip(4), RecordedOp::Line)->x, 9200.0);
        const auto second = job.slip(4);
        QCOMPARE(textOf(second, "Frau")->y, 5800.0);
        QCOMPARE(textOf(second, "Frau")->x, 8400.0 + 800);
        const auto third = job.slip(4);
        QCOMPARE(third.first().kind, RecordedOp::NewPage);
        QCOMPARE(textOf(third, "Frau")->x, 800.0);
    }

    /// One slip a page, as for the label printer: always top left, page end after each.
    void onePerPage_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("fresh") << 0;
        QTest::newRow("after a sheet run at 3") << 3;
        QTest::newRow("after a sheet run at 7") << 7;
    }
    void onePerPage()
    {
        QFETCH(int, before);
        SlipJob job;
        job.data.StartPosition = before;
        for (int i = 0; i < 3; ++i) {
            job.data.StartPosition = 1;
            const auto ops = job.slip(1);
            QCOMPARE(ops.first().kind, i == 0 ? RecordedOp::BeginJob : RecordedOp::NewPage);
            QCOMPARE(textOf(ops, "Frau")->x, 800.0);
            QCOMPARE(textOf(ops, "Frau")->y, 0.0);
        }
        job.probe();
        QCOMPARE(countOf(job.rec->ops(), RecordedOp::NewPage), 3);
    }

    /// Empty salutation, second name, ISBN and free lines take no line; other empty fields do.
    void emptyLines_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("takesNoLine");
        QTest::newRow("Anrede") << "Anrede" << 10.0 << true;
        QTest::newRow("Name2") << "Name2" << 10.0 << true;
        QTest::newRow("ISBN") << "ISBN" << 8.0 << true;
        QTest::newRow("Zeile 2") << "Zeile" << 8.0 << true;
        QTest::newRow("Strasse still takes its line") << "Strasse" << 10.0 << false;
        QTest::newRow("MatchCode still takes its line") << "MatchCode" << 8.0 << false;
    }
    void emptyLines()
    {
        QFETCH(QString, field);
        QFETCH(double, size);
        QFETCH(bool, takesNoLine);
        SlipJob full;
        const auto fullOps = full.slip(4);
        SlipJob job;
        QStringList lines = Lines;
        QString anrede = "Frau";
        if (field == "Anrede")
            anrede.clear();
        else if (field == "Zeile")
            lines[2].clear();
        else if (field == "Name2")
            job.data.Name2.clear();
        else if (field == "ISBN")
            job.data.ISBN.clear();
        else if (field == "Strasse")
            job.data.Strasse.clear();
        else if (field == "MatchCode")
            job.data.MatchCode.clear();
        const auto ops = job.slip(4, lines, anrede);
        const double shift = takesNoLine ? job.height("Arial", size, false) : 0.0;
        const double closing = textOf(fullOps, "Abholung bis 20.12.")->y;
        QVERIFY(qAbs(textOf(ops, "Abholung bis 20.12.")->y - (closing - shift)) < 0.01);
        // The turned name moves with the closing text; the right column never moves.
        QVERIFY(qAbs(firstOf(ops, RecordedOp::RotatedText)->y - (firstOf(fullOps, RecordedOp::RotatedText)->y - shift))
                < 0.01);
        QCOMPARE(textOf(ops, "bezahlt")->y, textOf(fullOps, "bezahlt")->y);
    }

    void zeileFiveIsNotPrinted()
    {
        SlipJob job;
        const auto ops = job.slip(4);
        QVERIFY(textOf(ops, "Zeile 4"));
        QVERIFY(!textOf(ops, "Zeile 5"));
    }

    /// The layout down the left column: name 16 bold, town 14 bold, prices, bars,
    /// number 700 and match code 950 below the bars' top.
    void leftColumn()
    {
        SlipJob job;
        const auto ops = job.slip(4);
        const double h10 = job.height("Arial", 10, false);
        const double h16b = job.height("Arial", 16, true);
        const double h14b = job.height("Arial", 14, true);
        const auto *name = textOf(ops, "Erika Mustermann");
        QCOMPARE(name->y, h10);
        QVERIFY(name->font.bold);
        QCOMPARE(name->font.size, 16.0);
        QCOMPARE(textOf(ops, "12345")->font.size, 14.0);
        QCOMPARE(textOf(ops, "Musterstadt")->x, textOf(ops, " ")->x + job.printer->TextWidth(" "));
        const double prices = h10 + h16b + 2 * h10 + h14b + h10;
        QVERIFY(qAbs(textOf(ops, "19,90 EUR")->y - prices) < 0.01);
        QVERIFY(!textOf(ops, "19,90 EUR")->font.bold);
        const auto *bar = firstOf(ops, RecordedOp::Line);
        QCOMPARE(bar->y, std::nearbyint(prices + 2 * h10));
        QCOMPARE(bar->height, 680.0);
        QCOMPARE(textOf(ops, "V-2026-0815")->y, bar->y + 700);
        QCOMPARE(textOf(ops, "V-2026-0815")->font.size, 8.0);
        QCOMPARE(textOf(ops, "MUSTER")->y, bar->y + 950);
        QCOMPARE(textOf(ops, "Zeile 0")->font.size, 8.0);
        // The right column's remark in 16 bold, below five order lines and the attention line.
        QVERIFY(qAbs(textOf(ops, "bezahlt")->y - 6 * h10) < 0.01);
        QVERIFY(textOf(ops, "bezahlt")->font.bold);
        QCOMPARE(textOf(ops, "z. Hd. Herrn Beispiel")->x, 5300.0);
    }

    /// The name turned in the margin: 100 twips into the slip, level with the line
    /// below the closing text, FontSize 14 × 24 twips high, default sans, regular.
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
        const auto *turned = firstOf(ops, RecordedOp::RotatedText);
        QVERIFY(turned);
        QCOMPARE(turned->text, QStringLiteral("Erika Mustermann"));
        QCOMPARE(turned->x, double(left));
        const double h8 = job.height("Arial", 8, false);
        QVERIFY(qAbs(turned->y - (textOf(ops, "Abholung bis 20.12.")->y + h8)) < 0.01);
        QCOMPARE(turned->height, 14.0 * 24);
        QVERIFY(!turned->font.bold);
        QCOMPARE(turned->font.name, QStringLiteral("Liberation Sans"));
        QCOMPARE(countOf(ops, RecordedOp::RotatedText), 1);
    }

    void turnedTextFollowsFontSizeAndKeepsThePosition_data()
    {
        QTest::addColumn<double>("size");
        QTest::newRow("8") << 8.0;
        QTest::newRow("14") << 14.0;
        QTest::newRow("20") << 20.0;
    }
    void turnedTextFollowsFontSizeAndKeepsThePosition()
    {
        QFETCH(double, size);
        SlipJob job;
        job.printer->setFontName("Courier New");
        job.printer->setFontBold(true);
        job.printer->setFontSize(size);
        job.printer->setCurrentX(250);
        job.printer->setCurrentY(4000);
        FontDrehen::GedrehtDrucken(*job.printer, "Name");
        const auto *turned = firstOf(job.rec->ops(), RecordedOp::RotatedText);
        QCOMPARE(turned->height, size * 24);
        QCOMPARE(QPointF(turned->x, turned->y), QPointF(250, 4000));
        QCOMPARE(job.printer->CurrentX(), 250.0);
        QCOMPARE(job.printer->CurrentY(), 4000.0);
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
        QTest::newRow("no lines") << 1 << 0 << 1 << 9;
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
        QCOMPARE(errorOf([&] { job.slip(qint16(perPage), Lines.mid(0, lines)); }), error);
        QCOMPARE(job.rec->ops().isEmpty(), error != 0);
        QCOMPARE(job.data.StartPosition, error ? start : start + 1);
    }

    /// The bar-width step runs first: the boxes show the width in effect.
    void barWidthStepRuns()
    {
        SlipJob job;
        job.boxes.setStrichbreite("3");
        const auto ops = job.slip(4);
        QCOMPARE(job.boxes.strichbreite(), QStringLiteral("3"));
        QVERIFY(!job.boxes.maxZeichen().isEmpty());
        QCOMPARE(firstOf(ops, RecordedOp::Line)->penWidth, 3.0);
    }
};

QTEST_MAIN(TestPickupSlip)
#include "tst_pickup_slip.moc"
