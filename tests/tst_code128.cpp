#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel::platform;
using tarvel::barcode::Code128;

namespace {
QList<double> barXs(const RecordingBackend &rec)
{
    QList<double> xs;
    for (const auto &op : rec.ops())
        if (op.isBar())
            xs << op.x;
    return xs;
}
} // namespace

class TestCode128 : public QObject
{
    Q_OBJECT
private slots:
    void symbolValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("12") << "12" << QList<int>{104, 17, 18, 54, 106};
        QTest::newRow("empty") << "" << QList<int>{104, 1, 106};
        QTest::newRow("A") << "A" << QList<int>{104, 33, 34, 106};
        QTest::newRow("space and tilde") << " ~" << QList<int>{104, 0, 94, (104 + 0 + 94 * 2) % 103, 106};
        QTest::newRow("DEL") << "\x7f" << QList<int>{104, 95, (104 + 95) % 103, 106};
    }
    void symbolValues()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, values);
        QCOMPARE(Code128().symbolValues(text), values);
    }

    // Spot checks against the symbol table of ISO/IEC 15417.
    void patternTable_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("0 space") << 0 << "212222";
        QTest::newRow("16 '0'") << 16 << "123122";
        QTest::newRow("33 'A'") << 33 << "111323";
        QTest::newRow("64 '`' / NUL") << 64 << "111422";
        QTest::newRow("95 DEL") << 95 << "114113";
        QTest::newRow("101 FNC4/code A") << 101 << "311141";
        QTest::newRow("102 FNC1") << 102 << "411131";
        QTest::newRow("103 Start A") << 103 << "211412";
        QTest::newRow("104 Start B") << 104 << "211214";
        QTest::newRow("105 Start C") << 105 << "211232";
        QTest::newRow("106 Stop") << 106 << "2331112";
    }
    void patternTable()
    {
        QFETCH(int, value);
        QFETCH(QString, pattern);
        QCOMPARE(Code128().pattern(value), pattern);
    }

    void everySymbolHasElevenModules()
    {
        Code128 code;
        for (int v = 0; v < 106; ++v) {
            const QString p = code.pattern(v);
            int sum = 0;
            for (QChar c : p)
                sum += c.digitValue();
            QCOMPARE(p.size(), 6);
            QCOMPARE(sum, 11);
        }
        QCOMPARE(code.pattern(107), QString());
    }

    void initBreite_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("breite");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("moduleWidth");
        QTest::addColumn<double>("fit");
        QTest::newRow("300 default") << 300.0 << 0 << 4 << 19.2 << 18.14;
        QTest::newRow("300 width 2") << 300.0 << 2 << 2 << 9.6 << 36.29;
        QTest::newRow("600 default") << 600.0 << 0 << 8 << 19.2 << 18.54;
        QTest::newRow("203 default") << 203.0 << 0 << 3 << 21.28 << 16.03;
    }
    void initBreite()
    {
        QFETCH(double, dpi);
        QFETCH(int, breite);
        QFETCH(int, pixels);
        QFETCH(double, moduleWidth);
        QFETCH(double, fit);
        Printer printer(std::make_unique<RecordingBackend>(dpi));
        Code128 code;
        const double r = code.InitBreite(printer, qint16(breite));
        QCOMPARE(printer.DrawWidth(), pixels);
        QCOMPARE(int(code.DrawWidth()), pixels);
        QVERIFY(qAbs(code.moduleWidth() - moduleWidth) < 0.01);
        QVERIFY2(qAbs(std::round(r * 100) / 100 - fit) < 0.001, qPrintable(QString::number(r)));
    }

    void startSymbolRoundsEveryStep()
    {
        auto backend = std::make_unique<RecordingBackend>(300.0);
        auto &rec = *backend;
        Printer printer(std::move(backend));
        Code128 code;
        code.InitBreite(printer, 0);
        code.Drucke(printer, "", 680);
        // Start B "211214": bars at 0, 19, 57, 114, then X = 210 for the check symbol.
        const QList<double> xs = barXs(rec);
        QCOMPARE(xs.mid(0, 4), (QList<double>{0, 19, 57, 114}));
        // Check symbol 1 = "222122" starts its first bar at 210.
        QCOMPARE(xs[4], 210.0);
        for (const auto &op : rec.ops()) {
            if (op.isBar()) {
                QCOMPARE(op.height, 680.0);
                QCOMPARE(op.penWidth, 4.0);
            }
        }
    }

    void barsAt600DotsPerInch()
    {
        auto backend = std::make_unique<RecordingBackend>(600.0);
        auto &rec = *backend;
        Printer printer(std::move(backend));
        Code128 code;
        code.InitBreite(printer, 0);
        printer.setCurrentX(100.4);
        printer.setCurrentY(250.5); // rounds to 250 (half to even)
        code.Drucke(printer, "12", 680);
        const QList<double> xs = barXs(rec);
        QCOMPARE(xs.mid(0, 4), (QList<double>{100, 119, 157, 214}));
        QCOMPARE(rec.ops()[1].y, 250.0);
        // One bar per bar module: 57 modules in all, the bars among them.
        int barModules = 0;
        for (int v : code.symbolValues("12")) {
            const QString p = code.pattern(v);
            for (int i = 0; i < p.size(); i += 2)
                barModules += p[i].digitValue();
        }
        QCOMPARE(xs.size(), barModules);
    }

    void penWidthOneDrawsPixelLines()
    {
        auto backend = std::make_unique<RecordingBackend>(300.0);
        auto &rec = *backend;
        Printer printer(std::move(backend));
        Code128 code;
        code.InitBreite(printer, 3);
        printer.setDrawWidth(1);
        code.Drucke(printer, "", 680);
        // First bar of Start B is 2 modules of 3 pixels: six one-pixel lines 4.8 twips apart.
        QCOMPARE(barXs(rec).mid(0, 7), (QList<double>{0, 5, 10, 15, 20, 25, 44}));
        QCOMPARE(rec.ops()[1].penWidth, 1.0);
    }

    void barcodesStartWhereTheCallerSaysSo()
    {
        auto backend = std::make_unique<RecordingBackend>(300.0);
        auto &rec = *backend;
        Printer printer(std::move(backend));
        Code128 code;
        code.InitBreite(printer, 0);
        printer.setCurrentX(500);
        printer.setCurrentY(0);
        code.Drucke(printer, "4711", 680);
        const qsizetype first = barXs(rec).size();
        printer.setCurrentX(500);
        printer.setCurrentY(2000);
        code.Drucke(printer, "4711", 680);
        const QList<double> xs = barXs(rec);
        QCOMPARE(xs.mid(first), xs.mid(0, first));
    }

    void refusesCharactersBeforeTheFirstBar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("detail");
        QTest::newRow("tab") << "12\t3" << 6 << "(Zeichen 9 an Stelle 3 kann nicht im Barcode stehen)";
        QTest::newRow("umlaut") << "Bär" << 9 << "(Zeichen \"ä\" an Stelle 2 kann nicht im Barcode stehen)";
        QTest::newRow("euro") << "5€" << 9 << "(Zeichen \"€\" an Stelle 2 kann nicht im Barcode stehen)";
        QTest::newRow("code 128") << QString("A") + QChar(128) << 9
                                  << QString("(Zeichen \"%1\" an Stelle 2 kann nicht im Barcode stehen)").arg(QChar(128));
        QTest::newRow("too long") << QString(400, QChar(127)) << 6 << "(Text zu lang für den Barcode: Stelle 345)";
    }
    void refusesCharactersBeforeTheFirstBar()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, detail);
        auto backend = std::make_unique<RecordingBackend>(300.0);
        auto &rec = *backend;
        Printer printer(std::move(backend));
        Code128 code;
        code.InitBreite(printer, 0);
        try {
            code.Drucke(printer, text, 680);
            QFAIL("accepted");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), number);
            QCOMPARE(e.detail(), detail);
        }
        QVERIFY(barXs(rec).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCode128)
#include "tst_code128.moc"
