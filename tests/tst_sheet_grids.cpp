// The sheet layouts and the pickup slip on the recording printer: where each label or row goes and
// what ends a page, the fonts each prints in whatever printed before, what is cut and what refused.

#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "sheets/AdressLabels.h"
#include "sheets/LaserLabels.h"
#include "sheets/LaserLabels4Bahn.h"
#include "sheets/Liste.h"
#include "support/RecordedJob.h"

#include <QDate>
#include <QtTest>

using namespace tarvel::labelprinter;
using namespace tarvel::sheets;
using tarvel::platform::FontSpec;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Ops = RecordedJob::Ops;

Q_DECLARE_METATYPE(FontSpec)

namespace {

enum Kind { Laser, FourLane, Address, ListRow, ListHeader, Slip };
const char *const KindNames[] = {"laser", "four-lane", "address", "list row", "list header", "pickup slip"};
const QString Closing = QStringLiteral("Abholung bis 20.12.");

/// The sheet classes on one recorded job, and a pickup slip's record and lines.
struct Sheets : RecordedJob
{
    LaserLabels laser{printer(), code()};
    LaserLabels4Bahn four{printer(), code()};
    AdressLabels address{printer()};
    Liste liste{printer(), code()};
    qint32 abstand = 0;
    PlainBarWidthBoxes boxes{QStringLiteral("0")};
    LabelData slip;
    QStringList zeilen{"Zeile 0", "Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5"};
    QString anrede = QStringLiteral("Frau");
    qint16 perPage = 4;

    Sheets()
    {
        slip.Preis1 = "19,90 EUR", slip.Preis2 = "38,92 DM", slip.MatchCode = "MUSTER", slip.ISBN = "978-3-16-148410-0";
        slip.Datum = "05.12.2026", slip.Menge = "2", slip.Bemerkung = "bezahlt", slip.Name1 = "Erika Mustermann";
        slip.Name2 = "c/o Buchhandlung", slip.Strasse = "Hauptstr. 1", slip.PLZ = "12345", slip.Ort = "Musterstadt";
        slip.VorgangsNr = "V-2026-0815", slip.SchlussText = Closing;
    }

    Ops label(int kind, qint32 offsetX = 0, qint32 offsetY = 0)
    {
        return during([&] {
            switch (kind) {
            case Laser: laser.Drucke(offsetX, offsetY, "4711", "978-3-16", "MUSTER", "12,00", "9,99"); break;
            case FourLane: four.Drucke(offsetX, offsetY, abstand, "4711", "978-3", "MUSTER", "12,00", "9,99"); break;
            case Address: address.Drucke(2, {"Herrn", "Max Mustermann", "Hauptstr. 1", "", "12345 Musterstadt"}); break;
            case ListRow: liste.Drucke("4711", "978-3-16", "MUSTER", "12,00", "9,99"); break;
            case ListHeader: liste.Kopf(); break;
            case Slip: Abholschein(printer(), code(), boxes, slip).Drucke(zeilen, "z. Hd. Herrn Beispiel", anrede, perPage); break;
            }
        });
    }
    void setStartPosition(int kind, qint16 pos)
    {
        kind == Laser      ? laser.setStartPosition(pos)
        : kind == FourLane ? four.setStartPosition(pos)
        : kind == Address  ? address.setStartPosition(pos)
                           : void(slip.StartPosition = pos);
    }
    /// The top-left corner of a label: its bars; for an address label the left
    /// edge of its first line and one 10-point line above it; for a slip 5300
    /// left of its first caption.
    QPointF origin(const Ops &ops, int kind)
    {
        if (kind == Slip)
            return QPointF(text(ops, "Datum: ")->x - 5300, text(ops, "Datum: ")->y);
        if (kind != Address)
            return {first(ops, Op::Line)->x, first(ops, Op::Line)->y};
        return {texts(ops).first().x, texts(ops).first().y - lineHeight(10)};
    }
};

} // namespace

class TestSheetGrids : public QObject
{
    Q_OBJECT

private slots:
    /// The places of a sheet, numbered down the columns from the first to the
    /// last; each label sits well in its place; the page ends right after the last.
    void places_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("abstand");
        QTest::addColumn<QSize>("grid"); // columns × rows
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QSizeF>("pitch");
        QTest::addColumn<double>("barHeight");
        QTest::addColumn<QPoint>("anchors"); // from the corner: x of the second price, y of the number
        QTest::newRow("laser") << int(Laser) << 0 << QSize(3, 8) << QPoint(310, 700) << QSizeF(3700, 1930) << 680.0
                               << QPoint(1850, 710);
        QTest::newRow("four-lane, Abstand4Bahn 100") << int(FourLane) << 100 << QSize(4, 12) << QPoint(540, 1250)
                                                     << QSizeF(2740, 1310) << 300.0 << QPoint(1370, 300);
        QTest::newRow("address") << int(Address) << 0 << QSize(3, 8) << QPoint(310, 450) << QSizeF(3700, 1930) << 0.0
                                 << QPoint();
        QTest::newRow("pickup slip") << int(Slip) << 0 << QSize(2, 2) << QPoint(0, 0) << QSizeF(8400, 5800) << 680.0
                                     << QPoint();
    }
    void places()
    {
        QFETCH(int, kind);
        QFETCH(int, abstand);
        QFETCH(QSize, grid);
        QFETCH(QPoint, first);
        QFETCH(QSizeF, pitch);
        QFETCH(double, barHeight);
        QFETCH(QPoint, anchors);
        Sheets s;
        s.abstand = abstand;
        for (int i = 0; i < grid.width() * grid.height(); ++i) {
            const auto ops = s.label(kind);
            const QPointF origin = s.origin(ops, kind);
            QCOMPARE(origin, first + QPointF(i / grid.height() * pitch.width(), i % grid.height() * pitch.height()));
            QCOMPARE(s.crowded(ops, QRectF(origin, pitch)), QString());
            if (barHeight > 0)
                QCOMPARE(s.first(ops, Op::Line)->height, barHeight);
            if (!anchors.isNull()) {
                QCOMPARE(QPointF(s.text(ops, "4711")->x, s.text(ops, "4711")->y), origin + QPointF(0, anchors.y()));
                QCOMPARE(s.text(ops, "9,99")->x, origin.x() + anchors.x());
                QCOMPARE(s.texts(ops)[1].text, QString(kind == Laser ? 5 : 3, u' ')); // the blanks after the number
            }
        }
        QCOMPARE(s.count(Op::NewPage), 0);
        // The page break is pending: the next label opens a fresh page at the first place.
        const auto next = s.label(kind);
        QCOMPARE(next.first().kind, Op::NewPage);
        QCOMPARE(s.origin(next, kind), QPointF(first));
    }

    /// Where the next label goes: a start position set in the middle of a sheet
    /// takes it there on the same page; OffsetX moves it down and OffsetY to the
    /// right, not the reverse. A negative place is error 5, an origin beyond 32 bits
    /// error 6, and either leaves the place as it was.
    void nextPlace_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QPoint>("offset"); // (OffsetX, OffsetY)
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("error");
        const QString e5("Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (%1.StartPosition %2: "
                         "erlaubt sind Etikettenpositionen ab 1, 0 gilt als 1)");
        const QString e6("Laufzeitfehler 6: Überlauf (%1: Etikettenposition mit OffsetX %2, OffsetY %3%4)");
        QTest::newRow("laser 9: top of the middle column") << int(Laser) << 9 << QPoint() << 9 << "";
        QTest::newRow("laser 25 acts as 1") << int(Laser) << 25 << QPoint() << 1 << "";
        QTest::newRow("laser 0 acts as 1") << int(Laser) << 0 << QPoint() << 1 << "";
        QTest::newRow("laser 32767 acts as 7") << int(Laser) << 32767 << QPoint() << 7 << "";
        QTest::newRow("four-lane 13: top of the second lane") << int(FourLane) << 13 << QPoint() << 13 << "";
        QTest::newRow("address 24") << int(Address) << 24 << QPoint() << 24 << "";
        QTest::newRow("pickup slip 3: top right") << int(Slip) << 3 << QPoint() << 3 << "";
        QTest::newRow("pickup slip 6 acts as 2") << int(Slip) << 6 << QPoint() << 2 << "";
        QTest::newRow("laser, OffsetX 200, OffsetY 300") << int(Laser) << 1 << QPoint(200, 300) << 1 << "";
        QTest::newRow("four-lane, both negative") << int(FourLane) << 1 << QPoint(-150, -40) << 1 << "";
        QTest::newRow("laser -32768") << int(Laser) << -32768 << QPoint() << 3 << e5.arg("LaserLabels").arg(-32768);
        QTest::newRow("four-lane -1") << int(FourLane) << -1 << QPoint() << 3 << e5.arg("LaserLabels4Bahn").arg(-1);
        QTest::newRow("address -1") << int(Address) << -1 << QPoint() << 3 << e5.arg("AdressLabels").arg(-1);
        QTest::newRow("laser, overflow down")
            << int(Laser) << 1 << QPoint(2147483000, 0) << 1 << e6.arg("LaserLabels").arg(2147483000).arg(0).arg("");
        QTest::newRow("four-lane, overflow across") << int(FourLane) << 1 << QPoint(0, 2147483647) << 1
                                                    << e6.arg("LaserLabels4Bahn").arg(0).arg(2147483647).arg(", Abstand4Bahn 0");
    }
    void nextPlace()
    {
        QFETCH(int, kind);
        QFETCH(int, pos);
        QFETCH(QPoint, offset);
        QFETCH(int, place);
        QFETCH(QString, error);
        Sheets s, fresh;
        s.label(kind);
        s.label(kind);
        Ops ops;
        QCOMPARE(s.messageOf([&] {
            s.setStartPosition(kind, qint16(pos));
            ops = s.label(kind, offset.x(), offset.y());
        }),
                 error);
        if (!error.isEmpty())
            ops = s.label(kind), offset = QPoint();
        QCOMPARE(s.count(Op::NewPage), 0);
        for (int i = 1; i < place; ++i)
            fresh.label(kind);
        const auto want = fresh.label(kind);
        QCOMPARE(s.origin(ops, kind), fresh.origin(want, kind) + QPointF(offset.y(), offset.x()));
        for (int i = 0; i < s.texts(want).size(); ++i) // the texts move down with the bars
            QCOMPARE(s.texts(ops)[i].y - s.texts(want)[i].y, double(offset.x()));
    }

    /// Each layout sets every font and colour it prints in: italic and dark blue
    /// from a list header, bold from a label, never carry over.
    void fontsWhateverCameBefore_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<FontSpec>>("fonts");
        const FontSpec r8{"Arial", 8}, r10{"Arial", 10}, b10{"Arial", 10, true}, b14{"Arial", 14, true}, b16{"Arial", 16, true};
        const QList<FontSpec> look[] = {
            {b10, b10, r8, r8, b14, b14}, // laser: number, blanks, ISBN, match code, two prices
            {r8, r8, r8, r8, r10, r10},   // four-lane, the same
            {r10, r10, b14, r10},         // address: line 2 bold, line 3 empty
            {r8, r8, b16, b16, b10},      // list row: ISBN, match code, two prices, number
        };
        for (const int before : {ListHeader, Laser, FourLane, Address, Slip})
            for (const int kind : {Laser, FourLane, Address, ListRow})
                QTest::addRow("%s after %s", KindNames[kind], KindNames[before]) << before << kind << look[kind];
    }
    void fontsWhateverCameBefore()
    {
        QFETCH(int, before);
        QFETCH(int, kind);
        QFETCH(QList<FontSpec>, fonts);
        Sheets s;
        s.label(before);
        QList<FontSpec> printed;
        for (const auto &op : s.texts(s.label(kind))) {
            printed << op.font;
            QCOMPARE(op.color, QColor(Qt::black));
        }
        QCOMPARE(printed, fonts);
    }

    /// A line too wide loses characters from its end until it fits, measured in
    /// the font it is printed in. The address label returns its lines as printed;
    /// one empty line above the first, one more above the bold line in 14 point;
    /// outside 0 to 4 no line is bold.
    void linesAreCut_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("fett");
        QTest::addColumn<double>("room");
        QTest::newRow("four-lane match code") << int(FourLane) << -1 << 2540.0;
        QTest::newRow("address, FettZeile 0") << int(Address) << 0 << 3500.0;
        QTest::newRow("address, the bold line cut") << int(Address) << 1 << 3500.0;
        QTest::newRow("address, FettZeile 5") << int(Address) << 5 << 3500.0;
    }
    void linesAreCut()
    {
        QFETCH(int, kind);
        QFETCH(int, fett);
        QFETCH(double, room);
        Sheets s;
        const QString text = kind == FourLane ? QString(40, u'W') : "Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG";
        QStringList lines{"Firma", text, "Marktplatz 3", "Postfach", "12345 Musterstadt"};
        const auto t = s.texts(s.during([&] {
            kind == FourLane ? s.four.Drucke(0, 0, 0, "4711", "", text, "", "") : void(lines = s.address.Drucke(qint16(fett), lines));
        }));
        const auto &cut = t.at(kind == FourLane ? 2 : 1);
        QVERIFY(text.startsWith(cut.text));
        QVERIFY(s.box(cut).width() <= room);
        QVERIFY(s.width(text.left(cut.text.size() + 1), cut.font.size, cut.font.bold) > room);
        if (kind == FourLane)
            return;
        QCOMPARE(lines, QStringList({"Firma", cut.text, "Marktplatz 3", "Postfach", "12345 Musterstadt"}));
        double y = 450 + s.lineHeight(10);
        for (int i = 0; i < 5; ++i) {
            y += i == fett ? s.lineHeight(10) : 0;
            QCOMPARE(t[i].font.bold, i == fett);
            QVERIFY2(qAbs(t[i].y - y) < 0.01, qPrintable(QStringLiteral("Zeile %1: %2 statt %3").arg(i).arg(t[i].y).arg(y)));
            y += s.box(t[i]).height();
        }
    }

    /// Error 9 before anything is drawn and before the place is used.
    void tooFewAddressLines()
    {
        Sheets s, fresh;
        QCOMPARE(s.messageOf([&] { s.address.Drucke(0, {"a", "b", "c", "d"}); }),
                 QStringLiteral("Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (AdressLabels.Drucke: 4 Zeilen "
                                "übergeben, gebraucht werden die Zeilen 0 bis 4)"));
        QVERIFY(s.ops().isEmpty());
        QCOMPARE(s.origin(s.label(Address), Address), fresh.origin(fresh.label(Address), Address));
    }

    /// The list: twelve rows a page below the header; the page ends after the
    /// twelfth and the next header follows at once. With no header first (another
    /// print came first) the rows start at the top and the next header shows page
    /// 1. The header's date is in the user's short format with a four-digit year.
    void listPages_data()
    {
        QTest::addColumn<bool>("kopf");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("12 rows: page 2 holds its header only") << true << 12 << QList<int>{12, 0} << "de_DE" << "dd.MM.yyyy";
        QTest::newRow("25 rows, Sweden") << true << 25 << QList<int>{12, 12, 1} << "sv_SE" << "yyyy-MM-dd";
        QTest::newRow("13 rows, no header first, Hungary") << false << 13 << QList<int>{12, 1} << "hu_HU" << "yyyy. MM. dd.";
    }
    void listPages()
    {
        QFETCH(bool, kopf);
        QFETCH(int, rows);
        QFETCH(QList<int>, rowsPerPage);
        QFETCH(QString, locale);
        QFETCH(QString, format);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        Sheets s;
        if (kopf)
            s.label(ListHeader);
        for (int i = 0; i < rows; ++i)
            s.label(ListRow);
        QLocale::setDefault(before);
        const QString title = "Barcode-Liste vom " + QDate::currentDate().toString(format) + " at 500";
        const auto pages = s.pages();
        QCOMPARE(pages.size(), rowsPerPage.size());
        for (int n = 0; n < pages.size(); ++n) {
            const bool headed = kopf || n > 0;
            QStringList expected, printed;
            if (headed)
                expected << title << "Seite  at 5500"
                         << QStringLiteral(" %1  at %2").arg(kopf ? n + 1 : n).arg(5500 + s.width("Seite ", 10));
            for (int i = 0; i < rowsPerPage[n]; ++i)
                expected << QStringLiteral("4711 at %1").arg((headed ? 900 : 0) + i * 1200);
            for (const auto &op : pages[n])
                if (op.kind == Op::Text && op.font.italic && op.y == 300 && op.color == QColor(0, 0, 128))
                    printed << QStringLiteral("%1 at %2").arg(op.text).arg(op.x);
                else if (op.kind == Op::Text && op.text == "4711")
                    printed << QStringLiteral("4711 at %1").arg(op.y - 750);
            QCOMPARE(printed, expected);
            QCOMPARE(s.crowded(pages[n], QRectF(0, 0, 11000, 16000)), QString());
            QCOMPARE(s.first(pages[n], Op::Line) ? s.first(pages[n], Op::Line)->height : 680, 680.0);
        }
        // The first row's texts end before the bars' quiet zone, the first price before the second.
        QList<QRectF> clips;
        for (const auto &op : s.ops())
            if (op.kind == Op::Clip && clips.size() < 3)
                clips << QRectF(QPointF(op.x, op.y), QPointF(op.x2, op.y2)).translated(0, kopf ? -900 : 0);
        QCOMPARE(clips, (QList<QRectF>{{500, 0, 4808, 1200}, {500, 0, 2000, 1200}, {2500, 0, 2808, 1200}}));
    }

    /// The slip: both columns start at the top of the quarter; down the left one
    /// name, town, prices, the bars after the bar-width step, the small lines but
    /// never Zeile(5). The name turned in the margin rises from below the closing text.
    void slipLines()
    {
        Sheets s;
        s.boxes.setStrichbreite("3");
        s.slip.StartPosition = 4;
        const auto ops = s.label(Slip);
        const double h10 = s.lineHeight(10);
        const auto at = [&](const QString &text) { return QPointF(s.text(ops, text)->x, s.text(ops, text)->y) - QPointF(8400, 5800); };
        QCOMPARE(at("Frau"), QPointF(800, 0));
        QCOMPARE(at("05.12.2026"), QPointF(6300, 0));
        QCOMPARE(at("bezahlt"), QPointF(5300, 6 * h10));
        QCOMPARE(at("Erika Mustermann"), QPointF(800, h10));
        QCOMPARE(s.text(ops, "Erika Mustermann")->font, (FontSpec{"Arial", 16, true}));
        QCOMPARE(s.text(ops, "Musterstadt")->font, (FontSpec{"Arial", 14, true}));
        QCOMPARE(s.text(ops, "bezahlt")->font, (FontSpec{"Arial", 16, true}));
        QCOMPARE(s.text(ops, "Datum: ")->font, (FontSpec{"Arial", 10})); // the right column whatever came before
        const double prices = h10 + s.lineHeight(16, true) + 2 * h10 + s.lineHeight(14, true) + h10;
        QVERIFY(qAbs(at("19,90 EUR").y() - prices) < 0.01);
        const auto *bar = s.first(ops, Op::Line);
        QCOMPARE(bar->y - 5800, std::nearbyint(prices + 2 * h10));
        QCOMPARE(bar->penWidth, 3.0);
        QCOMPARE(s.text(ops, "V-2026-0815")->y, bar->y + 700);
        QCOMPARE(s.text(ops, "MUSTER")->y, bar->y + 950);
        for (const QString &text : QStringList{"V-2026-0815", "MUSTER", "978-3-16-148410-0", "Zeile 0", "Zeile 4", Closing})
            QCOMPARE(s.text(ops, text)->font, (FontSpec{"Arial", 8}));
        QVERIFY(!s.text(ops, "Zeile 5"));
        const auto *turned = s.first(ops, Op::RotatedText);
        QCOMPARE(turned->text, QStringLiteral("Erika Mustermann"));
        QCOMPARE(QPointF(turned->x, turned->y), QPointF(8500, s.text(ops, Closing)->y + s.lineHeight(8)));
        QCOMPARE(turned->height, 14.0 * 24);
        QCOMPARE(turned->font, (FontSpec{"Liberation Sans", 16.8}));
    }

    /// Empty salutation, second name, ISBN and free lines take no line; other
    /// empty fields do. The right column never moves.
    void slipEmptyLines_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<double>("lineSize"); // 0: still takes its line
        QTest::newRow("Anrede") << 0 << 10.0;
        QTest::newRow("Name2") << 1 << 10.0;
        QTest::newRow("ISBN") << 2 << 8.0;
        QTest::newRow("Zeile 2") << 3 << 8.0;
        QTest::newRow("Strasse") << 4 << 0.0;
        QTest::newRow("MatchCode") << 5 << 0.0;
    }
    void slipEmptyLines()
    {
        QFETCH(int, field);
        QFETCH(double, lineSize);
        Sheets s, full;
        const auto fullOps = full.label(Slip);
        QString *const fields[] = {&s.anrede, &s.slip.Name2, &s.slip.ISBN, &s.zeilen[2], &s.slip.Strasse, &s.slip.MatchCode};
        fields[field]->clear();
        const auto ops = s.label(Slip);
        const double shift = lineSize > 0 ? s.lineHeight(lineSize) : 0.0;
        QVERIFY(qAbs(s.text(ops, Closing)->y - (s.text(fullOps, Closing)->y - shift)) < 0.01);
        QCOMPARE(s.text(ops, "bezahlt")->y, s.text(fullOps, "bezahlt")->y);
    }

    /// Refused before anything is drawn and before the position moves on. Printed
    /// again at the same StartPosition (as the label printer does, with one slip a
    /// page) it takes the same quarter, on a new page only with one slip a page,
    /// which keeps the printer's portrait page.
    void slipRefused_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("error");
        const QString e5("Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (Abholschein: %1)");
        QTest::newRow("StartPosition -1") << -1 << 6 << 4 << e5.arg("StartPosition -1, erlaubt sind Positionen ab 1");
        QTest::newRow("SeitenProBlatt 0") << 1 << 6 << 0 << e5.arg("SeitenProBlatt 0, erlaubt sind 1 bis 4");
        QTest::newRow("four lines") << 1 << 4 << 4
                                    << "Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (Abholschein: 4 Zeilen "
                                       "übergeben, gebraucht werden die Zeilen 0 bis 4)";
        QTest::newRow("five lines are enough") << 2 << 5 << 4 << "";
        QTest::newRow("one a page") << 1 << 6 << 1 << "";
        QTest::newRow("two a page") << 1 << 6 << 2 << "";
    }
    void slipRefused()
    {
        QFETCH(int, start);
        QFETCH(int, lines);
        QFETCH(int, perPage);
        QFETCH(QString, error);
        Sheets s;
        s.slip.StartPosition = start;
        s.perPage = qint16(perPage);
        s.zeilen = s.zeilen.mid(0, lines);
        QCOMPARE(s.messageOf([&] { s.label(Slip); }), error);
        QCOMPARE(s.ops().isEmpty(), !error.isEmpty());
        QCOMPARE(s.slip.StartPosition, error.isEmpty() ? start + 1 : start);
        if (!error.isEmpty())
            return;
        s.slip.StartPosition = start;
        const auto again = s.label(Slip);
        QCOMPARE(again.first().kind == Op::NewPage, perPage == 1);
        QCOMPARE(s.origin(again, Slip), QPointF(0, (start - 1) * 5800));
        for (const auto &op : s.ops())
            QVERIFY((op.kind != Op::BeginJob && op.kind != Op::NewPage) || op.landscape == (perPage > 1));
    }
};

QTEST_MAIN(TestSheetGrids)
#include "tst_sheet_grids.moc"
