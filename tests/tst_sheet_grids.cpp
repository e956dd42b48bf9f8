#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"
#include "sheets/AdressLabels.h"
#include "sheets/LaserLabels.h"
#include "sheets/LaserLabels4Bahn.h"
#include "sheets/SheetPlace.h"

#include <QtTest>
#include <functional>

using namespace tarvel::platform;
using namespace tarvel::sheets;
using tarvel::barcode::Code128;

namespace {

/// A printer on the recording backend with the bar width set, as the setup dialog leaves it.
struct Sheet
{
    RecordingBackend *rec = nullptr;
    std::unique_ptr<Printer> printer;
    Code128 code;

    Sheet()
    {
        auto backend = std::make_unique<RecordingBackend>(300);
        rec = backend.get();
        printer = std::make_unique<Printer>(std::move(backend));
        code.InitBreite(*printer, 0);
    }
    qsizetype mark() const { return rec->ops().size(); }
    QList<RecordedOp> since(qsizetype from) const { return rec->ops().mid(from); }
    /// Draws something small, so that a page break still pending shows in the recording.
    void probe() { printer->Print(QStringLiteral("Probe")); }
    int newPages() const
    {
        int n = 0;
        for (const auto &op : rec->ops())
            n += op.kind == RecordedOp::NewPage;
        return n;
    }
};

QPointF firstBar(const QList<RecordedOp> &ops)
{
    for (const auto &op : ops)
        if (op.isBar())
            return {op.x, op.y};
    return {-1, -1};
}

double firstBarHeight(const QList<RecordedOp> &ops)
{
    for (const auto &op : ops)
        if (op.isBar())
            return op.height;
    return -1;
}

QList<RecordedOp> texts(const QList<RecordedOp> &ops)
{
    QList<RecordedOp> out;
    for (const auto &op : ops)
        if (op.kind == RecordedOp::Text)
            out << op;
    return out;
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

double heightOf(Printer &p, double size, bool bold)
{
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(size);
    p.setFontBold(bold);
    return p.TextHeight();
}

double widthOf(Printer &p, const QString &text, double size, bool bold)
{
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(size);
    p.setFontBold(bold);
    return p.TextWidth(text);
}

enum Kind { Laser, FourLane, Address };

/// One label of the given kind; returns the ops it recorded.
QList<RecordedOp> label(Sheet &s, LaserLabels &laser, LaserLabels4Bahn &four, AdressLabels &address, Kind kind,
                        qint32 offsetX = 0, qint32 offsetY = 0)
{
    const auto from = s.mark();
    switch (kind) {
    case Laser: laser.Drucke(offsetX, offsetY, "4711", "978-3-16-148410-0", "MUSTER", "12,00", "9,99"); break;
    case FourLane: four.Drucke(offsetX, offsetY, 0, "4711", "978-3", "MUSTER", "12,00", "9,99"); break;
    case Address: address.Drucke(-1, {"Herrn", "Max Mustermann", "Hauptstr. 1", "", "12345 Musterstadt"}); break;
    }
    return s.since(from);
}

/// Where a label lands: the bars' top-left, or for address labels the left edge and
/// the top of the label (one 10-point line above its first line).
QPointF origin(Sheet &s, const QList<RecordedOp> &ops, Kind kind)
{
    if (kind != Address)
        return firstBar(ops);
    const auto t = texts(ops);
    return {t.first().x, t.first().y - heightOf(*s.printer, 10, false)};
}

} // namespace

class TestSheetGrids : public QObject
{
    Q_OBJECT

private slots:
    void laserPlacesRunDownTheColumns()
    {
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        for (int place = 1; place <= 24; ++place) {
            const auto from = s.mark();
            laser.Drucke(0, 0, "4711", "", "", "", "");
            const int column = (place - 1) / 8, row = (place - 1) % 8;
            QCOMPARE(firstBar(s.since(from)), QPointF(310 + column * 3700, 700 + row * 1930));
        }
    }

    void fourLanePlaces_data()
    {
        QTest::addColumn<int>("abstand");
        QTest::addColumn<int>("lastRowTop");
        QTest::newRow("Abstand4Bahn 0") << 0 << 11 * 1210 + 1250;
        QTest::newRow("Abstand4Bahn 100") << 100 << 11 * 1310 + 1250;
        QTest::newRow("Abstand4Bahn -1210") << -1210 << 1250;
    }
    void fourLanePlaces()
    {
        QFETCH(int, abstand);
        QFETCH(int, lastRowTop);
        Sheet s;
        LaserLabels4Bahn four(*s.printer, s.code);
        for (int place = 1; place <= 48; ++place) {
            const auto from = s.mark();
            four.Drucke(0, 0, abstand, "4711", "", "", "", "");
            const int lane = (place - 1) / 12, row = (place - 1) % 12;
            const auto ops = s.since(from);
            QCOMPARE(firstBar(ops), QPointF(540 + lane * 2740, 1250 + row * (1210 + abstand)));
            QCOMPARE(firstBarHeight(ops), 300.0);
            if (row == 11)
                QCOMPARE(firstBar(ops).y(), double(lastRowTop));
        }
        QCOMPARE(s.newPages(), 0);
        s.probe();
        QCOMPARE(s.newPages(), 1);
    }

    /// The page ends right after the last place, not before; an EndDoc then adds no page.
    void pageEndsAfterTheLastPlace_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("places");
        QTest::newRow("laser") << int(Laser) << 24;
        QTest::newRow("four-lane") << int(FourLane) << 48;
        QTest::newRow("address") << int(Address) << 24;
    }
    void pageEndsAfterTheLastPlace()
    {
        QFETCH(int, kind);
        QFETCH(int, places);
        for (const bool full : {false, true}) {
            Sheet s;
            LaserLabels laser(*s.printer, s.code);
            LaserLabels4Bahn four(*s.printer, s.code);
            AdressLabels address(*s.printer);
            for (int i = 0; i < places - 1; ++i)
                label(s, laser, four, address, Kind(kind));
            if (full)
                label(s, laser, four, address, Kind(kind));
            const auto beforeProbe = s.mark();
            s.probe();
            const auto probe = s.since(beforeProbe);
            QCOMPARE(probe.first().kind, full ? RecordedOp::NewPage : RecordedOp::Text);
            QCOMPARE(s.newPages(), full ? 1 : 0);
        }
        // Ending the job on a full sheet adds no blank page.
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        LaserLabels4Bahn four(*s.printer, s.code);
        AdressLabels address(*s.printer);
        for (int i = 0; i < places; ++i)
            label(s, laser, four, address, Kind(kind));
        s.printer->EndDoc();
        QCOMPARE(s.newPages(), 0);
        QCOMPARE(s.rec->ops().last().kind, RecordedOp::EndJob);
        // The next label starts the next sheet at place 1.
        const auto next = label(s, laser, four, address, Kind(kind));
        const QPointF first = Kind(kind) == FourLane ? QPointF(540, 1250)
                              : Kind(kind) == Laser  ? QPointF(310, 700)
                                                     : QPointF(310, 450);
        QCOMPARE(origin(s, next, Kind(kind)), first);
    }

    void startPositions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("laser 1") << int(Laser) << 1 << QPointF(310, 700);
        QTest::newRow("laser 9: top of the middle column") << int(Laser) << 9 << QPointF(4010, 700);
        QTest::newRow("laser 8: foot of the first column") << int(Laser) << 8 << QPointF(310, 700 + 7 * 1930);
        QTest::newRow("laser 24") << int(Laser) << 24 << QPointF(7710, 700 + 7 * 1930);
        QTest::newRow("laser 25 acts as 1") << int(Laser) << 25 << QPointF(310, 700);
        QTest::newRow("laser 0 acts as 1") << int(Laser) << 0 << QPointF(310, 700);
        QTest::newRow("laser 32767 acts as 7") << int(Laser) << 32767 << QPointF(310, 700 + 6 * 1930);
        QTest::newRow("four-lane 13: top of the second lane") << int(FourLane) << 13 << QPointF(3280, 1250);
        QTest::newRow("four-lane 48") << int(FourLane) << 48 << QPointF(540 + 3 * 2740, 1250 + 11 * 1210);
        QTest::newRow("four-lane 49 acts as 1") << int(FourLane) << 49 << QPointF(540, 1250);
        QTest::newRow("four-lane 0 acts as 1") << int(FourLane) << 0 << QPointF(540, 1250);
        QTest::newRow("address 9") << int(Address) << 9 << QPointF(4010, 450);
        QTest::newRow("address 25 acts as 1") << int(Address) << 25 << QPointF(310, 450);
        QTest::newRow("address 0 acts as 1") << int(Address) << 0 << QPointF(310, 450);
        QTest::newRow("address 24") << int(Address) << 24 << QPointF(7710, 450 + 7 * 1930);
    }
    void startPositions()
    {
        QFETCH(int, kind);
        QFETCH(int, pos);
        QFETCH(QPointF, expected);
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        LaserLabels4Bahn four(*s.printer, s.code);
        AdressLabels address(*s.printer);
        // Set in the middle of a sheet: the next label goes to the new place on the same page.
        label(s, laser, four, address, Kind(kind));
        label(s, laser, four, address, Kind(kind));
        laser.setStartPosition(pos);
        four.setStartPosition(pos);
        address.setStartPosition(pos);
        const auto ops = label(s, laser, four, address, Kind(kind));
        QCOMPARE(origin(s, ops, Kind(kind)), expected);
        QCOMPARE(s.newPages(), 0);
    }

    void negativeStartPositionIsRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pos");
        QTest::newRow("laser -1") << int(Laser) << -1;
        QTest::newRow("four-lane -1") << int(FourLane) << -1;
        QTest::newRow("address -1") << int(Address) << -1;
        QTest::newRow("laser -32768") << int(Laser) << -32768;
    }
    void negativeStartPositionIsRefused()
    {
        QFETCH(int, kind);
        QFETCH(int, pos);
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        LaserLabels4Bahn four(*s.printer, s.code);
        AdressLabels address(*s.printer);
        QCOMPARE(errorOf([&] { SheetPlace::checkStartPosition(qint16(pos)); }), 5);
        QCOMPARE(errorOf([] { SheetPlace::checkStartPosition(0); }), 0);
        laser.setStartPosition(9);
        four.setStartPosition(13);
        address.setStartPosition(9);
        const int err = errorOf([&] {
            switch (Kind(kind)) {
            case Laser: laser.setStartPosition(qint16(pos)); break;
            case FourLane: four.setStartPosition(qint16(pos)); break;
            case Address: address.setStartPosition(qint16(pos)); break;
            }
        });
        QCOMPARE(err, 5);
        // The place stays where it was: the top of the second column or lane.
        const auto ops = label(s, laser, four, address, Kind(kind));
        const QPointF kept = Kind(kind) == FourLane ? QPointF(3280, 1250)
                             : Kind(kind) == Laser  ? QPointF(4010, 700)
                                                    : QPointF(4010, 450);
        QCOMPARE(origin(s, ops, Kind(kind)), kept);
    }

    void errorNamesTheClassAndPosition()
    {
        Sheet s;
        LaserLabels4Bahn four(*s.printer, s.code);
        try {
            four.setStartPosition(-3);
            QFAIL("keine Fehlermeldung");
        } catch (const RuntimeError &e) {
            QVERIFY2(e.text().contains("LaserLabels4Bahn") && e.text().contains("-3"), qPrintable(e.text()));
        }
    }

    /// OffsetX moves the labels down and OffsetY to the right, not the reverse.
    void offsets_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("offsetX");
        QTest::addColumn<int>("offsetY");
        for (const int kind : {int(Laser), int(FourLane)}) {
            const char *name = kind == Laser ? "laser" : "four-lane";
            QTest::addRow("%s none", name) << kind << 0 << 0;
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
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        LaserLabels4Bahn four(*s.printer, s.code);
        AdressLabels address(*s.printer);
        const QPointF base = Kind(kind) == Laser ? QPointF(310, 700) : QPointF(540, 1250);
        const auto ops = label(s, laser, four, address, Kind(kind), offsetX, offsetY);
        QCOMPARE(firstBar(ops), base + QPointF(offsetY, offsetX));
        // Every text of the label moves with it.
        const auto t = texts(ops);
        QCOMPARE(t.first().x, base.x() + offsetY);
    }

    void offsetOverflowLeavesThePlace()
    {
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        laser.setStartPosition(2);
        QCOMPARE(errorOf([&] { laser.Drucke(2147483000, 0, "1", "", "", "", ""); }), 6);
        const auto from = s.mark();
        laser.Drucke(0, 0, "1", "", "", "", "");
        QCOMPARE(firstBar(s.since(from)), QPointF(310, 700 + 1930));
    }

    /// Number and match code of a four-lane label are regular, whatever printed before.
    void fourLaneNumberLinesAreRegular_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("after a laser label (bold prices)") << int(Laser);
        QTest::newRow("after a four-lane label") << int(FourLane);
        QTest::newRow("first label") << -1;
    }
    void fourLaneNumberLinesAreRegular()
    {
        QFETCH(int, before);
        Sheet s;
        LaserLabels laser(*s.printer, s.code);
        LaserLabels4Bahn four(*s.printer, s.code);
        AdressLabels address(*s.printer);
        if (before >= 0)
            label(s, laser, four, address, Kind(before));
        const auto from = s.mark();
        four.Drucke(0, 0, 0, "4711", "978-3", "MUSTER", "12,00", "9,99");
        const auto t = texts(s.since(from));
        QCOMPARE(t.size(), 6);
        for (const auto &op : t) {
            QVERIFY2(!op.font.bold, qPrintable(op.text));
            QCOMPARE(op.font.size, (op.text == "12,00" || op.text == "9,99") ? 10.0 : 8.0);
        }
        QCOMPARE(t[0].y, firstBar(s.since(from)).y() + 300);
    }

    void fourLaneMatchCodeIsCutToWidth_data()
    {
        QTest::addColumn<QString>("matchCode");
        QTest::newRow("40 wide letters") << QString(40, u'W');
        QTest::newRow("long words") << QStringLiteral("Gesammelte Werke in zwölf Bänden, Halbleinen");
        QTest::newRow("short") << QStringLiteral("MUSTER");
        QTest::newRow("empty") << QString();
        QTest::newRow("beyond the basic plane") << (QString(30, u'M') + QStringLiteral("\U0001F600\U0001F600"));
    }
    void fourLaneMatchCodeIsCutToWidth()
    {
        QFETCH(QString, matchCode);
        const QString stored = matchCode;
        Sheet s;
        LaserLabels4Bahn four(*s.printer, s.code);
        const auto from = s.mark();
        four.Drucke(0, 0, 0, "4711", "", matchCode, "", "");
        QCOMPARE(matchCode, stored);
        const auto t = texts(s.since(from));
        // Number, blanks, then the match code on the next line (an empty one draws nothing).
        const QString printed = t.size() > 2 ? t[2].text : QString();
        QVERIFY(stored.startsWith(printed));
        QVERIFY(widthOf(*s.printer, printed, 8, false) <= 2540);
        if (printed.size() < stored.size()) {
            const QString oneMore = stored.left(printed.size() + 1);
            QVERIFY(widthOf(*s.printer, oneMore, 8, false) > 2540);
            QVERIFY(!printed.back().isHighSurrogate());
        } else {
            QCOMPARE(printed, stored);
        }
    }

    void addressFettZeile_data()
    {
        QTest::addColumn<int>("fett");
        QTest::newRow("FettZeile 0") << 0;
        QTest::newRow("FettZeile 2") << 2;
        QTest::newRow("FettZeile 4") << 4;
        QTest::newRow("FettZeile -1") << -1;
        QTest::newRow("FettZeile 5") << 5;
    }
    void addressFettZeile()
    {
        QFETCH(int, fett);
        Sheet s;
        AdressLabels address(*s.printer);
        const double h10 = heightOf(*s.printer, 10, false);
        const double h14 = heightOf(*s.printer, 14, true);
        const QStringList lines{"Firma", "Buchhandlung Muster", "z. Hd. Frau Beispiel", "Marktplatz 3", "12345 Musterstadt"};
        const auto from = s.mark();
        address.Drucke(qint16(fett), lines);
        const auto t = texts(s.since(from));
        QCOMPARE(t.size(), 5);
        double y = 450 + h10; // one empty line above the first
        for (int i = 0; i < 5; ++i) {
            const bool bold = i == fett;
            if (bold)
                y += h10; // the empty line before the bold one
            QCOMPARE(t[i].text, lines[i]);
            QCOMPARE(t[i].x, 310.0);
            QCOMPARE(t[i].font.bold, bold);
            QCOMPARE(t[i].font.size, bold ? 14.0 : 10.0);
            QVERIFY2(qAbs(t[i].y - y) < 0.01, qPrintable(QStringLiteral("Zeile %1: %2 statt %3").arg(i).arg(t[i].y).arg(y)));
            y += bold ? h14 : h10;
        }
    }

    void addressLinesAreCutInTheirOwnFont_data()
    {
        QTest::addColumn<int>("fett");
        QTest::newRow("wide line regular") << -1;
        QTest::newRow("wide line bold") << 1;
    }
    void addressLinesAreCutInTheirOwnFont()
    {
        QFETCH(int, fett);
        Sheet s;
        AdressLabels address(*s.printer);
        const QString wide = QStringLiteral("Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG");
        const QStringList stored{"Firma", wide, "Marktplatz 3", "", "12345 Musterstadt", "Zeile sechs"};
        QStringList lines = stored;
        const QStringList printed = address.Drucke(qint16(fett), lines);
        QCOMPARE(lines, stored); // the caller's lines stay whole
        QCOMPARE(printed.size(), stored.size());
        const bool bold = fett == 1;
        const double size = bold ? 14 : 10;
        QVERIFY(printed[1].size() < wide.size());
        QVERIFY(wide.startsWith(printed[1]));
        QVERIFY(widthOf(*s.printer, printed[1], size, bold) <= 3500);
        QVERIFY(widthOf(*s.printer, wide.left(printed[1].size() + 1), size, bold) > 3500);
        for (int i : {0, 2, 3, 4, 5})
            QCOMPARE(printed[i], stored[i]);
        // The drawn line is the returned one.
        const auto t = texts(s.rec->ops());
        QCOMPARE(t[1].text, printed[1]);
        // Printing the returned lines again gives the same label; printing them with
        // the wide line bold cuts it further.
        if (!bold) {
            QCOMPARE(address.Drucke(-1, printed), printed);
            const QStringList boldAgain = address.Drucke(1, printed);
            QVERIFY(boldAgain[1].size() < printed[1].size());
        }
    }

    void tooFewAddressLinesAreRefused_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("four") << 4;
    }
    void tooFewAddressLinesAreRefused()
    {
        QFETCH(int, count);
        Sheet s;
        AdressLabels address(*s.printer);
        address.setStartPosition(3);
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QStringLiteral("Zeile %1").arg(i);
        QCOMPARE(errorOf([&] { address.Drucke(0, lines); }), 9);
        QVERIFY(s.rec->ops().isEmpty()); // nothing drawn, no job opened
        // The place was not used up.
        address.Drucke(0, {"a", "b", "c", "d", "e"});
        QCOMPARE(texts(s.rec->ops()).first().x, 310.0);
        QCOMPARE(texts(s.rec->ops()).first().y, 450 + 2 * 1930 + 2 * heightOf(*s.printer, 10, false));
    }
};

QTEST_MAIN(TestSheetGrids)
#include "tst_sheet_grids.moc"
