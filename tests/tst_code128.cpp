#include "barcode/Code128.h"
#include "platform/RuntimeError.h"
#include "support/RecordedJob.h"

#include <QtTest>

using tarvel::barcode::Code128;
using tarvel::platform::RuntimeError;
using tarvel::test::RecordedJob;
using Satz = Code128::Zeichensatz;

namespace {
/// X of each bar line \a b has drawn, from the \a from-th on.
QList<double> barXs(const RecordedJob &b, qsizetype from = 0)
{
    QList<double> all;
    for (const auto &op : b.ops())
        if (op.isBar())
            all << op.x;
    return all.mid(from);
}
const QString Isbn = QStringLiteral("9783596294312");
} // namespace

class TestCode128 : public QObject
{
    Q_OBJECT
private slots:
    // Whole symbols worked by hand: the check is start value + the sum of value × position, mod 103.
    // With code set C, the minimising rules of ISO/IEC 15417 choose where runs of digits go.
    void symbolValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mitC");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("B PJJ123C") << "PJJ123C" << false << QList<int>{104, 48, 42, 42, 17, 18, 19, 35, 55, 106};
        QTest::newRow("C empty") << "" << true << QList<int>{104, 1, 106};
        QTest::newRow("C two digits alone") << "12" << true << QList<int>{105, 12, 14, 106};
        QTest::newRow("C three digits stay B") << "123" << true << QList<int>{104, 17, 18, 19, 8, 106};
        QTest::newRow("C odd, last in B") << Isbn << true << QList<int>{105, 97, 83, 59, 62, 94, 31, 100, 18, 27, 106};
        QTest::newRow("C 4 at the end") << "ABC1234" << true << QList<int>{104, 33, 34, 35, 99, 12, 34, 43, 106};
        QTest::newRow("C 5 at the end") << "A12345" << true << QList<int>{104, 33, 17, 99, 23, 45, 64, 106};
        QTest::newRow("C 4 between stay B") << "A1234B" << true << QList<int>{104, 33, 17, 18, 19, 20, 34, 90, 106};
        QTest::newRow("C 6 between") << "A123456B" << true << QList<int>{104, 33, 99, 12, 34, 56, 100, 34, 80, 106};
        QTest::newRow("C 5 leading") << "12345AB" << true << QList<int>{105, 12, 34, 100, 21, 33, 34, 11, 106};
        QTest::newRow("C hyphenated ISBN") << "978-3-16-148410-0" << true
                                           << QList<int>{104, 25, 23, 24, 13, 19, 13, 17, 22, 13, 99,
                                                         14, 84, 10, 100, 13, 16, 73, 106};
    }
    void symbolValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, mitC);
        QFETCH(QList<int>, values);
        QCOMPARE(Code128().symbolValues(text, mitC ? Satz::MitC : Satz::NurB), values);
    }

    // InitBreite's figures and the bars of an empty text (start B, check 1, stop) at the start point,
    // rounded (half to even); each step of X is rounded too: a module of 19.2 twips advances 19.
    void geometry_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("breite");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("fit");
        QTest::addColumn<bool>("onePixelPen");
        QTest::addColumn<QList<double>>("xs");
        QTest::newRow("300 default") << 300.0 << 0 << 4 << 18.14 << false << QList<double>{0, 19, 57, 114, 210};
        QTest::newRow("300 width 2") << 300.0 << 2 << 2 << 36.29 << false << QList<double>{0, 10, 30, 59, 107};
        QTest::newRow("600 default") << 600.0 << 0 << 8 << 18.54 << false << QList<double>{100, 119, 157, 214, 310};
        QTest::newRow("203 default") << 203.0 << 0 << 3 << 16.03 << false << QList<double>{0, 21, 63, 127, 233};
        QTest::newRow("one-pixel pen") << 300.0 << 3 << 3 << 24.19 << true << QList<double>{0, 5, 10, 15, 20, 25, 44};
    }
    void geometry()
    {
        QFETCH(double, dpi);
        QFETCH(int, breite);
        QFETCH(int, pixels);
        QFETCH(double, fit);
        QFETCH(bool, onePixelPen);
        QFETCH(QList<double>, xs);
        RecordedJob b(dpi);
        const double r = b.code().InitBreite(b.printer(), qint16(breite));
        QVERIFY2(qAbs(std::round(r * 100) / 100 - fit) < 0.001, qPrintable(QString::number(r)));
        QCOMPARE(int(b.code().DrawWidth()), pixels);
        if (onePixelPen)
            b.printer().setDrawWidth(1); // then each module is drawn a pixel line at a time
        b.printer().setCurrentX(xs.first() + 0.4);
        b.printer().setCurrentY(250.5);
        b.code().Drucke(b.printer(), "", 680);
        QCOMPARE(barXs(b).mid(0, xs.size()), xs);
        QCOMPARE(barXs(b).size(), onePixelPen ? 18 * pixels : 18);
        for (const auto &op : b.ops())
            QVERIFY(!op.isBar() || (op.y == 250 && op.height == 680 && op.penWidth == (onePixelPen ? 1 : pixels)));
    }

    // Set B where it fits with its quiet zone of 10 modules (192 twips here), bar for bar as
    // without a room; else the shortest symbol, drawn even where that is too wide.
    void roomDecidesTheCodeSet()
    {
        RecordedJob b;
        QCOMPARE(b.code().moduleCount(Isbn, Satz::NurB), 178);
        QCOMPARE(b.code().moduleCount(Isbn, Satz::MitC), 123);
        const qint32 widthB = b.code().widthTwips(Isbn, Satz::NurB), widthC = b.code().widthTwips(Isbn, Satz::MitC);
        b.code().Drucke(b.printer(), Isbn, 680);
        const QList<double> plain = barXs(b);
        QCOMPARE(double(widthB), plain.last() + 19); // the stop ends in a bar of two modules
        for (const qint32 room : {widthB + 192, widthB + 191, widthC + 191}) {
            const qsizetype from = barXs(b).size();
            b.printer().setCurrentX(0);
            b.code().Drucke(b.printer(), Isbn, 680, room);
            const bool setB = room >= widthB + 192;
            QCOMPARE(b.code().satzFuer(Isbn, room), setB ? Satz::NurB : Satz::MitC);
            QCOMPARE(b.code().fits(Isbn, room), room >= widthC + 192);
            const QList<double> drawn = barXs(b, from);
            QVERIFY(setB ? drawn == plain : drawn.last() + 19 == widthC);
        }
        // The widest bar width that fits, 0 for none (-1: starts past the edge); the current one stays.
        const std::pair<qint32, int> widest[] = {{widthC + 192, 4}, {widthC + 191, 3}, {1000, 1}, {500, 0}, {-1, 0}};
        for (const auto &[room, pixels] : widest)
            QCOMPARE(int(b.code().passendeBreite(Isbn, room)), pixels);
        QCOMPARE(int(b.code().DrawWidth()), 4);
    }

    // The symbol table's entries 107 to 128 are empty; beyond them is no entry.
    void patternTable()
    {
        const Code128 code;
        QCOMPARE(code.pattern(128), QString());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, code.pattern(-1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, code.pattern(129));
    }

    void refusesBeforeTheFirstBar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("detail");
        QTest::newRow("tab") << "12\t3" << 6 << "Zeichen 9 an Stelle 3 kann nicht im Barcode stehen";
        QTest::newRow("code 128") << QString("A") + QChar(128) << 9
                                  << QString("Zeichen \"%1\" an Stelle 2 kann nicht im Barcode stehen").arg(QChar(128));
        QTest::newRow("too long") << QString(400, QChar(127)) << 6 << "Text zu lang für den Barcode: Stelle 345";
        QTest::newRow("value × position 32768") << QString(1023, u' ') + "@" << 6
                                                << "Text zu lang für den Barcode: Stelle 1024";
        QTest::newRow("value × position 32767") << QString(1056, u' ') + "?" << 0 << "";
    }
    // The same errors (0: none) with or without a room, and from the query a check before printing makes.
    void refusesBeforeTheFirstBar()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, detail);
        RecordedJob b;
        const QList<std::function<void()>> calls{[&] { b.code().Drucke(b.printer(), text, 680); },
                                                 [&] { b.code().Drucke(b.printer(), text, 680, 0); },
                                                 [&] { b.code().fits(text, 100000); }};
        for (const auto &call : calls) {
            try {
                call();
                QVERIFY2(number == 0, "accepted");
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), number);
                QCOMPARE(e.detail(), detail);
            }
        }
        QCOMPARE(barXs(b).isEmpty(), number != 0);
    }
};

QTEST_GUILESS_MAIN(TestCode128)
#include "tst_code128.moc"
