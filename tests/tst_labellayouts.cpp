// The label-printer layouts on the recording surface: what each prints where,
// and the bar-width step they begin with; whether they fit a label printer's media.
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelLayouts.h"
#include "labelprinter/MediaFit.h"
#include "platform/PageSetup.h"
#include "support/RecordedJob.h"

#include <QtTest>

using namespace tarvel::labelprinter;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Layout = void (LabelLayouts::*)();
Q_DECLARE_METATYPE(Layout)
using Field = QString LabelData::*;
Q_DECLARE_METATYPE(Field)
Q_DECLARE_METATYPE(MediaFit::Layout)

namespace {

const QString Ten(10, u' ');
const QString Long(150, u'M'); // longer than any label is wide: neither cut nor wrapped

LabelData record()
{
    LabelData d;
    d.ArtikelNr = "4711-0815", d.Preis1 = "12,95 €", d.Preis2 = "9,95 €", d.MatchCode = Long, d.WarenGruppe = "Bücher";
    d.ISBN = "978-3-16-148410-0", d.Titel = Long, d.Autor = "Die Autorin", d.Verlag = "Der Verlag";
    d.Bemerkung = "Eine Bemerkung";
    return d;
}

/// The bars of \a ops as rectangles: position, pen width and height.
QList<QRectF> barsOf(const RecordedJob::Ops &ops)
{
    QList<QRectF> out;
    for (const Op &op : ops)
        if (op.isBar())
            out << QRectF(op.x, op.y, op.penWidth, op.height);
    return out;
}

/// The printed texts as "text x,y size" (b: bold, then the font unless Arial);
/// x is "+" where the text goes on from the one before.
QStringList printed(RecordedJob &job, const RecordedJob::Ops &ops)
{
    QStringList out;
    const auto texts = RecordedJob::texts(ops);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const Op &op = texts[i], *before = i > 0 ? &texts[i - 1] : nullptr;
        const bool goesOn = before && qAbs(before->y - op.y) < 0.5
                            && qAbs(before->x + job.width(before->text, before->font.size, before->font.bold) - op.x) < 0.5;
        out << QStringLiteral("%1 %2,%3 %4%5%6")
                   .arg(op.text, goesOn ? QStringLiteral("+") : QString::number(qRound(op.x)))
                   .arg(qRound(op.y)).arg(op.font.size)
                   .arg(op.font.bold ? "b" : "", op.font.name == "Arial" ? QString() : u' ' + op.font.name);
    }
    return out;
}

} // namespace

class TestLabelLayouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Empty fields keep their lines; captions and fixed texts still print. The
    // canoe label keeps its top blank and its prices at a fixed height.
    void layout_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QPointF>("bars");
        const QString prices = "12,95 € 100,100 16b|" + Ten + " +,100 16b|9,95 € +,100 16b|4711-0815 100,1546 12b";
        const auto rows = [](const QString &lines) { return lines.split(u'|'); };
        QTest::newRow("EinLabel") << &LabelLayouts::EinLabel << true
                                  << rows(prices + "|" + Long + " 100,2052 10|WG:  100,2282 10|Bücher +,2282 10|    "
                                                   "+,2282 10|978-3-16-148410-0 +,2282 10")
                                  << QPointF(100, 836);
        QTest::newRow("EinLabel, empty") << &LabelLayouts::EinLabel << false
                                         << rows(Ten + " 100,100 16b|WG:  100,2282 10|    +,2282 10") << QPointF(100, 836);
        QTest::newRow("Etikett") << &LabelLayouts::Etikett << true
                                 << rows(prices + "|978-3-16-148410-0 100,2052 10|" + Ten
                                         + "Warengruppe:  +,2052 10|Bücher +,2052 10|Titel: 100,2512 10|" + Long
                                         + " 1100,2512 10|Autor: 100,2742 10|Die Autorin 1100,2742 10|Verlag: "
                                           "100,2972 10|Der Verlag 1100,2972 10|Eine Bemerkung 100,3432 10")
                                 << QPointF(100, 836);
        QTest::newRow("Etikett, empty") << &LabelLayouts::Etikett << false
                                        << rows(Ten + " 100,100 16b|" + Ten + "Warengruppe:  100,2052 10|Titel: 100,2512 "
                                                      "10|Autor: 100,2742 10|Verlag: 100,2972 10")
                                        << QPointF(100, 836);
        QTest::newRow("KanuEtikett") << &LabelLayouts::KanuEtikett << true
                                     << rows(Long + " 100,3100 12|Eine Bemerkung 100,3652 12|12,95 € 100,5400 20b Courier "
                                                    "New|9,95 € 100,5853 20b Courier New|4711-0815 100,7292 12b")
                                     << QPointF(100, 6582);
        QTest::newRow("KanuEtikett, empty") << &LabelLayouts::KanuEtikett << false << QStringList{} << QPointF(100, 6582);
    }
    void layout()
    {
        QFETCH(Layout, layout);
        QFETCH(bool, full);
        QFETCH(QStringList, lines);
        QFETCH(QPointF, bars);
        RecordedJob job;
        PlainBarWidthBoxes boxes;
        const LabelData data = full ? record() : LabelData{};
        const auto ops = job.during([&] { (LabelLayouts(job.printer(), job.code(), boxes, data).*layout)(); });
        QCOMPARE(printed(job, ops), lines);
        // The bars of the article number, 680 high, at the default width of 4 pixels.
        RecordedJob alone;
        alone.printer().setCurrentX(bars.x());
        alone.printer().setCurrentY(bars.y());
        const auto expected = alone.during([&] { alone.code().Drucke(alone.printer(), data.ArtikelNr, 680); });
        QCOMPARE(barsOf(ops), barsOf(expected));
        QCOMPARE(job.count(Op::NewPage) + job.count(Op::EndJob), 0); // the page and the job stay open
    }

    // The width the bar-width step takes from the `Strichbreite` text, and
    // the characters that then fit.
    void barWidthFromTheBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("result"); // MaxZeichen, or the error
        QTest::newRow("one pixel") << "1" << "1" << "72,58";
        QTest::newRow("2.5 to even") << "2.5" << "2" << "36,29";
        QTest::newRow("3.5 to even") << "3.5" << "4" << "18,14";
        QTest::newRow("digit and letters") << "3abc" << "3" << "24,19";
        QTest::newRow("blanks first") << "  2" << "2" << "36,29";
        QTest::newRow("letters only: the default") << "abc" << "4" << "18,14";
        QTest::newRow("zero: the default") << "0" << "4" << "18,14";
        QTest::newRow("negative") << "-1" << "" << "Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges "
                                                  "Argument (Strichbreite \"-1\": erlaubt sind 1 bis 32767 Pixel, 0 "
                                                  "für die Standardbreite)";
        QTest::newRow("beyond 16 bits") << "40000" << "" << "Laufzeitfehler 6: Überlauf (Strichbreite \"40000\": "
                                                           "erlaubt sind 1 bis 32767 Pixel, 0 für die Standardbreite)";
    }
    void barWidthFromTheBox()
    {
        QFETCH(QString, text);
        QFETCH(QString, width);
        QFETCH(QString, result);
        RecordedJob job;
        PlainBarWidthBoxes boxes(text);
        const LabelData data = record();
        QString error;
        const auto ops = job.during([&] {
            error = job.messageOf([&] { LabelLayouts(job.printer(), job.code(), boxes, data).EinLabel(); });
        });
        if (width.isEmpty()) {
            QCOMPARE(error, result);
            QVERIFY2(ops.isEmpty(), "printed before the error");
            return;
        }
        QCOMPARE(boxes.strichbreite(), width);
        QCOMPARE(boxes.maxZeichen(), result);
        for (const QRectF &bar : barsOf(ops))
            QCOMPARE(bar.width(), width.toDouble());
    }

    // On a label printer's media names, titles and remarks may end at its
    // edge (they are noted as cut); prices and numbers must show whole, or the
    // layout does not fit.
    void fitToMedia_data()
    {
        QTest::addColumn<MediaFit::Layout>("layout");
        QTest::addColumn<QSizeF>("media"); // mm, fed narrow edge first
        QTest::addColumn<Field>("field");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QStringList>("cut");
        const QSizeF dymo(36, 89), dymo4xl(104, 159);
        QTest::newRow("label, too small") << MediaFit::Layout::EinLabel << dymo << Field{} << false << QStringList{};
        QTest::newRow("label, usual record") << MediaFit::Layout::EinLabel << dymo4xl << Field{} << true << QStringList{};
        QTest::newRow("label, long match code") << MediaFit::Layout::EinLabel << dymo4xl << &LabelData::MatchCode << true
                                                << QStringList{"MatchCode"};
        QTest::newRow("label, long price") << MediaFit::Layout::EinLabel << dymo4xl << &LabelData::Preis1 << false
                                           << QStringList{};
        QTest::newRow("label, long ISBN") << MediaFit::Layout::EinLabel << dymo4xl << &LabelData::ISBN << false
                                          << QStringList{};
        QTest::newRow("article label, long title") << MediaFit::Layout::Etikett << dymo4xl << &LabelData::Titel << true
                                                   << QStringList{"Titel"};
        QTest::newRow("canoe label, long remark") << MediaFit::Layout::KanuEtikett << dymo4xl << &LabelData::Bemerkung
                                                  << true << QStringList{"Bemerkung"};
        QTest::newRow("slip, long remark") << MediaFit::Layout::Abholschein << dymo4xl << &LabelData::Bemerkung << true
                                           << QStringList{"Bemerkung"};
        QTest::newRow("slip, long telephone") << MediaFit::Layout::Abholschein << dymo4xl << &LabelData::Telefon
                                              << false << QStringList{};
    }
    void fitToMedia()
    {
        QFETCH(MediaFit::Layout, layout);
        QFETCH(QSizeF, media);
        QFETCH(Field, field);
        QFETCH(bool, fits);
        QFETCH(QStringList, cut);
        tarvel::platform::PageSetup setup;
        setup.layout = QPageLayout(QPageSize(media, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF());
        setup.rasterised = true;
        LabelData data = MediaFit::sample();
        if (field)
            data.*field = Long;
        const MediaFit::Result r = MediaFit::check(setup, layout, data);
        QVERIFY2(r.fits == fits, qPrintable(r.message));
        QCOMPARE(r.message.isEmpty(), fits);
        if (fits)
            QCOMPARE(r.cut, cut);
    }
};

QTEST_MAIN(TestLabelLayouts)
#include "tst_labellayouts.moc"
