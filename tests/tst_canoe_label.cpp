#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "labelprinter/LabelLayouts.h"
#include "support/RecordedJob.h"

#include <QtTest>

using namespace tarvel::labelprinter;
using tarvel::platform::FontSpec;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;

/// The canoe label: prices at a fixed height, whatever stands above them, and
/// the bars below the two price lines.
class TestCanoeLabel : public QObject
{
    Q_OBJECT

private slots:
    void pricesAndBars_data()
    {
        QTest::addColumn<QString>("matchCode");
        QTest::addColumn<QString>("bemerkung");
        QTest::addColumn<QString>("preis2");
        QTest::newRow("all filled") << "KANU ROT" << "Sonderangebot" << "149,00";
        QTest::newRow("empty match code and remark") << "" << "" << "149,00";
        QTest::newRow("empty second price") << "KANU" << "" << "";
    }
    void pricesAndBars()
    {
        QFETCH(QString, matchCode);
        QFETCH(QString, bemerkung);
        QFETCH(QString, preis2);
        RecordedJob job;
        PlainBarWidthBoxes boxes("0");
        LabelData data;
        data.ArtikelNr = "4711";
        data.MatchCode = matchCode;
        data.Bemerkung = bemerkung;
        data.Preis1 = "129,00";
        data.Preis2 = preis2;
        const auto ops = job.during([&] { LabelLayouts(job.printer(), job.code(), boxes, data).KanuEtikett(); });
        const double h20 = job.lineHeight(20, true, "Courier New"), h12 = job.lineHeight(12);

        const auto *price = job.text(ops, "129,00");
        QCOMPARE(QPointF(price->x, price->y), QPointF(100, 5400));
        QCOMPARE(price->font, (FontSpec{"Courier New", 20, true, false}));
        // Two 20-point price lines, an empty 12-point line, then the bars.
        const auto *bar = job.first(ops, Op::Line);
        QCOMPARE(QPointF(bar->x, bar->y), QPointF(100, std::nearbyint(5400 + 2 * h20 + h12)));
        QCOMPARE(bar->height, 680.0);
        const auto *number = job.text(ops, "4711");
        QCOMPARE(number->y, bar->y + 710);
        QCOMPARE(number->font, (FontSpec{"Arial", 12, true, false}));
        for (const auto &op : job.texts(ops))
            QVERIFY2(op.y >= 3100, qPrintable(op.text));
    }
};

QTEST_MAIN(TestCanoeLabel)
#include "tst_canoe_label.moc"
