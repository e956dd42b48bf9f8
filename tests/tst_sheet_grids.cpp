#include "platform/RuntimeError.h"
#include "sheets/AdressLabels.h"
#include "sheets/LaserLabels.h"
#include "sheets/LaserLabels4Bahn.h"
#include "sheets/SheetPlace.h"
#include "support/RecordedJob.h"

#include <QtTest>

using namespace tarvel::sheets;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Ops = RecordedJob::Ops;

namespace {

enum Kind { Laser, FourLane, Address };

/// The three sheet classes on one recorded job.
struct Sheets : RecordedJob
{
    LaserLabels laser{printer(), code()};
    LaserLabels4Bahn four{printer(), code()};
    AdressLabels address{printer()};

    Ops label(Kind kind, qint32 offsetX = 0, qint32 offsetY = 0, qint32 abstand = 0)
    {
        return during([&] {
            switch (kind) {
            case Laser: laser.Drucke(offsetX, offsetY, "4711", "978-3-16", "MUSTER", "12,00", "9,99"); break;
            case FourLane: four.Drucke(offsetX, offsetY, abstand, "4711", "978-3", "MUSTER", "12,00", "9,99"); break;
            case Address: address.Drucke(-1, {"Herrn", "Max Mustermann", "Hauptstr. 1", "", "12345 Musterstadt"}); break;
            }
        });
    }
    void setStartPosition(Kind kind, qint16 pos)
    {
        kind == Laser ? laser.setStartPosition(pos)
                      : kind == FourLane ? four.setStartPosition(pos) : address.setStartPosition(pos);
    }
    /// The top-left of a label: its bars, or for an address label its first
    /// line's left edge and one 10-point line above it.
    QPointF origin(const Ops &ops, Kind kind)
    {
        if (kind != Address)
            return {first(ops, Op::Line)->x, first(ops, Op::Line)->y};
        const auto t = texts(ops);
        return {t.first().x, t.first().y - lineHeight(10)};
    }
};

/// Left, top, pitch across, pitch down and rows of each grid.
struct Grid
{
    int left, top, pitchX, pitchY, rows;
};
Grid gridOf(Kind kind, int abstand = 0)
{
    switch (kind) {
    case Laser: return {310, 700, 3700, 1930, 8};
    case FourLane: return {540, 1250, 2740, 1210 + abstand, 12};
    case Address: break;
    }
    return {310, 450, 3700, 1930, 8};
}
QPointF placeOf(Kind kind, int pos, int abstand = 0)
{
    const Grid g = gridOf(kind, abstand);
    return QPointF(g.left + (pos - 1) / g.rows * g.pitchX, g.top + (pos - 1) % g.rows * g.pitchY);
}

} // namespace

class TestSheetGrids : public QObject
{
    Q_OBJECT

private slots:
    /// Every place down the columns, and a page end right after the last one only.
    void placesAndPageEnd_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("places");
        QTest::addColumn<int>("abstand");
        QTest::newRow("laser, 24") << int(Laser) << 24 << 0;
        QTest::newRow("four-lane, 48, Abstand4Bahn 0") << int(FourLane) << 48 << 0;
        QTest::newRow("four-lane, 48, Abstand4Bahn 100") << int(FourLane) << 48 << 100;
        QTest::newRow("address, 24") << int(Address) << 24 << 0;
    }
    void placesAndPageEnd()
    {
        QFETCH(int, kind);
        QFETCH(int, places);
        QFETCH(int, abstand);
        Sheets s;
        for (int pos = 1; pos <= places; ++pos) {
            const auto ops = s.label(Kind(kind), 0, 0, abstand);
            QCOMPARE(s.origin(ops, Kind(kind)), placeOf(Kind(kind), pos, abstand));
            if (kind == FourLane)
                QCOMPARE(s.first(ops, Op::Line)->height, 300.0);
            // Nothing before the last place ends the page.
            if (pos == places - 1) {
                QCOMPARE(s.during([&] { s.probe(); }).first().kind, Op::Text);
            }
        }
        if (kind == FourLane) // the twelfth row of a lane
            QCOMPARE(placeOf(FourLane, 12, abstand).y(), 11.0 * (1210 + abstand) + 1250);
        QCOMPARE(s.count(Op::NewPage), 0);
        // The page break is pending: the next drawing opens a fresh page at place 1.
        const auto next = s.label(Kind(kind), 0, 0, abstand);
        QCOMPARE(next.first().kind, Op::NewPage);
        QCOMPARE(s.origin(next, Kind(kind)), placeOf(Kind(kind), 1));
    }

    void endDocOnAFullSheetAddsNoPage()
    {
        Sheets s;
        for (int i = 0; i < 24; ++i)
            s.label(Laser);
        s.printer().EndDoc();
        QCOMPARE(s.count(Op::NewPage), 0);
        QCOMPARE(s.ops().last().kind, Op::EndJob);
    }

    void startPositions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("actsAs");
        QTest::newRow("laser 9: top of the middle column") << int(Laser) << 9 << 9;
        QTest::newRow("laser 24") << int(Laser) << 24 << 24;
        QTest::newRow("laser 25 acts as 1") << int(Laser) << 25 << 1;
        QTest::newRow("laser 0 acts as 1") << int(Laser) << 0 << 1;
        QTest::newRow("laser 32767 acts as 7") << int(Laser) << 32767 << 7;
        QTest::newRow("four-lane 13: top of the second lane") << int(FourLane) << 13 << 13;
        QTest::newRow("four-lane 49 acts as 1") << int(FourLane) << 49 << 1;
        QTest::newRow("four-lane 0 acts as 1") << int(FourLane) << 0 << 1;
        QTest::newRow("address 9") << int(Address) << 9 << 9;
        QTest::newRow("address 25 acts as 1") << int(Address) << 25 << 1;
        QTest::newRow("address 0 acts as 1") << int(Address) << 0 << 1;
    }
    void startPositions()
    {
        QFETCH(int, kind);
        QFETCH(int, pos);
        QFETCH(int, actsAs);
        Sheets s;
        s.label(Kind(kind));
        s.label(Kind(kind));
        // Set in the middle of a sheet: the next label goes there on the same page.
        s.setStartPosition(Kind(kind), qint16(pos));
        QCOMPARE(s.origin(s.label(Kind(kind)), Kind(kind)), placeOf(Kind(kind), actsAs));
        QCOMPARE(s.count(Op::NewPage), 0);
    }

    /// Refused with error 5, and the place stays where it was.
    void negativeStartPositionIsRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pos");
        QTest::newRow("laser -1") << int(Laser) << -1;
        QTest::newRow("laser -32768") << int(Laser) << -32768;
        QTest::newRow("four-lane -1") << int(FourLane) << -1;
        QTest::newRow("address -1") << int(Address) << -1;
    }
    void negativeStartPositionIsRefused()
    {
        QFETCH(int, kind);
        QFETCH(int, pos);
        QCOMPARE(RecordedJob::errorOf([&] { SheetPlace::checkStartPosition(qint16(pos)); }), 5);
        QCOMPARE(RecordedJob::errorOf([] { SheetPlace::checkStartPosition(0); }), 0);
        Sheets s;
        s.setStartPosition(Kind(kind), 5);
        QCOMPARE(s.errorOf([&] { s.setStartPosition(Kind(kind), qint16(pos)); }), 5);
        QCOMPARE(s.origin(s.label(Kind(kind)), Kind(kind)), placeOf(Kind(kind), 5));
    }

    /// OffsetX moves the labels down and OffsetY to the right, not the reverse.
    void offsets_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("offsetX");
        QTest::addColumn<int>("offsetY");
        for (const int kind : {int(Laser), int(FourLane)}) {
            const char *name = kind == Laser ? "laser" : "four-lane";
            QTest::addRow("%s OffsetX 200", name) << kind << 200 << 0;
            QTest::addRow("%s OffsetY 300", name) << kind << 0 << 300;
            QTest::addRow("%s both negative", name) << kind << -150 << -40;
        }
    }
    void offsets()
    {
        QFETCH(int, kind);
        QFETCH(int, offsetX);
        QFETCH(int, offsetY);
        Sheets s;
        const auto ops = s.label(Kind(kind), offsetX, offsetY);
        const QPointF moved = placeOf(Kind(kind), 1) + QPointF(offsetY, offsetX);
        QCOMPARE(s.origin(ops, Kind(kind)), moved);
        QCOMPARE(s.texts(ops).first().x, moved.x());
    }

    /// An origin that overflows is error 6 and leaves the place unused.
    void offsetOverflowLeavesThePlace()
    {
        Sheets s;
        s.laser.setStartPosition(2);
        QCOMPARE(s.errorOf([&] { s.laser.Drucke(2147483000, 0, "1", "", "", "", ""); }), 6);
        QCOMPARE(s.origin(s.label(Laser), Laser), placeOf(Laser, 2));
    }

    /// Number and match code of a four-lane label are regular, whatever printed before.
    void fourLaneNumberLinesAreRegular_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("after a laser label (bold prices)") << int(Laser);
        QTest::newRow("after a four-lane label") << int(FourLane);
    }
    void fourLaneNumberLinesAreRegular()
    {
        QFETCH(int, before);
        Sheets s;
        s.label(Kind(before));
        const auto ops = s.label(FourLane);
        const auto t = s.texts(ops);
        QCOMPARE(t.size(), 6);
        for (const auto &op : t) {
            QVERIFY2(!op.font.bold, qPrintable(op.text));
            QCOMPARE(op.font.size, (op.text == "12,00" || op.text == "9,99") ? 10.0 : 8.0);
        }
        QCOMPARE(t[0].y, s.first(ops, Op::Line)->y + 300);
    }

    /// Cut to 2540 twips at Arial 8, on a copy.
    void fourLaneMatchCodeIsCut_data()
    {
        QTest::addColumn<QString>("matchCode");
        QTest::newRow("40 wide letters") << QString(40, u'W');
        QTest::newRow("short") << QStringLiteral("MUSTER");
        QTest::newRow("beyond the basic plane") << (QString(30, u'M') + QStringLiteral("\U0001F600\U0001F600"));
    }
    void fourLaneMatchCodeIsCut()
    {
        QFETCH(QString, matchCode);
        const QString stored = matchCode;
        Sheets s;
        const auto t = s.texts(s.during([&] { s.four.Drucke(0, 0, 0, "4711", "", matchCode, "", ""); }));
        QCOMPARE(matchCode, stored);
        const QString printed = t.at(2).text; // after the number and the blanks
        QVERIFY(stored.startsWith(printed));
        QVERIFY(s.width(printed, 8) <= 2540);
        if (printed != stored) {
            QVERIFY(s.width(stored.left(printed.size() + 1), 8) > 2540);
            QVERIFY(!printed.back().isHighSurrogate());
        }
    }

    void addressFettZeile_data()
    {
        QTest::addColumn<int>("fett");
        QTest::newRow("FettZeile 0") << 0;
        QTest::newRow("FettZeile 2") << 2;
        QTest::newRow("FettZeile -1") << -1;
        QTest::newRow("FettZeile 5") << 5;
    }
    void addressFettZeile()
    {
        QFETCH(int, fett);
        Sheets s;
        const double h10 = s.lineHeight(10), h14 = s.lineHeight(14, true);
        const QStringList lines{"Firma", "Buchhandlung Muster", "z. Hd. Frau Beispiel", "Marktplatz 3", "12345 Musterstadt"};
        const auto t = s.texts(s.during([&] { s.address.Drucke(qint16(fett), lines); }));
        QCOMPARE(t.size(), 5);
        double y = 450 + h10; // one empty line above the first
        for (int i = 0; i < 5; ++i) {
            const bool bold = i == fett;
            y += bold ? h10 : 0; // and one more above the bold line
            QCOMPARE(t[i].text, lines[i]);
            QCOMPARE(t[i].x, 310.0);
            QCOMPARE(t[i].font.bold, bold);
            QCOMPARE(t[i].font.size, bold ? 14.0 : 10.0);
            QVERIFY2(qAbs(t[i].y - y) < 0.01, qPrintable(QStringLiteral("Zeile %1: %2 statt %3").arg(i).arg(t[i].y).arg(y)));
            y += bold ? h14 : h10;
        }
    }

    /// Each line is cut to 3500 twips in its own font; the caller's lines stay whole.
    void addressLinesAreCut_data()
    {
        QTest::addColumn<int>("fett");
        QTest::newRow("wide line regular") << -1;
        QTest::newRow("wide line bold") << 1;
    }
    void addressLinesAreCut()
    {
        QFETCH(int, fett);
        Sheets s;
        const QString wide = QStringLiteral("Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG");
        const QStringList stored{"Firma", wide, "Marktplatz 3", "", "12345 Musterstadt", "Zeile sechs"};
        const QStringList lines = stored;
        QStringList printed;
        const auto t = s.texts(s.during([&] { printed = s.address.Drucke(qint16(fett), lines); }));
        QCOMPARE(lines, stored);
        QCOMPARE(printed.size(), stored.size());
        for (int i : {0, 2, 3, 4, 5})
            QCOMPARE(printed[i], stored[i]);
        QCOMPARE(t[1].text, printed[1]);
        const bool bold = fett == 1;
        QVERIFY(wide.startsWith(printed[1]) && printed[1].size() < wide.size());
        QVERIFY(s.width(printed[1], bold ? 14 : 10, bold) <= 3500);
        QVERIFY(s.width(wide.left(printed[1].size() + 1), bold ? 14 : 10, bold) > 3500);
        if (!bold) {
            // Printed again as they came back, the same; as the bold line, cut further.
            QCOMPARE(s.address.Drucke(-1, printed), printed);
            QVERIFY(s.address.Drucke(1, printed)[1].size() < printed[1].size());
        }
    }

    /// Error 9 before anything is drawn and before the place is used.
    void tooFewAddressLines()
    {
        Sheets s;
        s.address.setStartPosition(3);
        QCOMPARE(s.errorOf([&] { s.address.Drucke(0, {"a", "b", "c", "d"}); }), 9);
        QCOMPARE(s.errorOf([&] { s.address.Drucke(0, {}); }), 9);
        QVERIFY(s.ops().isEmpty());
        QCOMPARE(s.origin(s.label(Address), Address), placeOf(Address, 3));
    }
};

QTEST_MAIN(TestSheetGrids)
#include "tst_sheet_grids.moc"
