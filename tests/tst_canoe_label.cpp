#include "barcode/Code128.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "labelprinter/LabelLayouts.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <QtTest>

using namespace tarvel::platform;
using namespace tarvel::labelprinter;
using tarvel::barcode::Code128;

/// The canoe label: prices at a fixed height, the bars below the two price lines.
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
        auto backend = std::make_unique<RecordingBackend>(300);
        auto *rec = backend.get();
        Printer printer(std::move(backend));
        Code128 code;
        PlainBarWidthBoxes boxes("0");
        LabelData data;
        data.ArtikelNr = "4711";
        data.MatchCode = matchCode;
        data.Bemerkung = bemerkung;
        data.Preis1 = "129,00";
        data.Preis2 = preis2;
        LabelLayouts(printer, code, boxes, data).KanuEtikett();

        printer.setFontName("Courier New");
        printer.setFontSize(20);
        printer.setFontBold(true);
        const double h20 = printer.TextHeight();
        printer.setFontName("Arial");
        printer.setFontSize(12);
        printer.setFontBold(false);
        const double h12 = printer.TextHeight();

        const RecordedOp *first = nullptr, *bar = nullptr, *number = nullptr;
        for (const auto &op : rec->ops()) {
            if (op.kind == RecordedOp::Text && op.text == "129,00")
                first = &op;
            if (op.isBar() && !bar)
                bar = &op;
            if (op.kind == RecordedOp::Text && op.text == "4711")
                number = &op;
        }
        QVERIFY(first && bar && number);
        QCOMPARE(first->y, 5400.0);
        QCOMPARE(first->x, 100.0);
        QCOMPARE(first->font, (FontSpec{"Courier New", 20, true, false}));
        // Two 20-point price lines, an empty 12-point line, then the bars.
        QCOMPARE(bar->y, std::nearbyint(5400 + 2 * h20 + h12));
        QCOMPARE(bar->x, 100.0);
        QCOMPARE(bar->height, 680.0);
        QCOMPARE(number->y, bar->y + 710);
        QCOMPARE(number->font, (FontSpec{"Arial", 12, true, false}));
        // Nothing above 3100.
        for (const auto &op : rec->ops())
            if (op.kind == RecordedOp::Text)
                QVERIFY(op.y >= 3100);
    }
};

QTEST_MAIN(TestCanoeLabel)
#include "tst_canoe_label.moc"
