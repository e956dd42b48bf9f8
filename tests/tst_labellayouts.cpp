// The article label and the single label, step by step on the recording surface.
#include "barcode/Code128.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelLayouts.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel;
using labelprinter::LabelData;
using platform::RecordedOp;

namespace {

// Line heights of Liberation Sans ("Arial"): 1.149 em.
constexpr double L16 = 367.97, L12 = 275.98, L10 = 229.98;
constexpr double BarsTop = 836; // 100 + two 16-point lines, rounded
const QString Ten = QStringLiteral("          ");

/// What a text operation printed: text, place, size and weight.
struct Line
{
    QString text;
    double x, y;
    double size;
    bool bold;
};

struct Run
{
    QList<RecordedOp> ops;
    QList<RecordedOp> texts;
    QList<RecordedOp> bars;
    QString error;
    labelprinter::PlainBarWidthBoxes boxes;
};

Run runLayout(void (labelprinter::LabelLayouts::*layout)(), const LabelData &data, const QString &width = "0")
{
    auto backend = std::make_unique<platform::RecordingBackend>(300.0);
    auto *rec = backend.get();
    platform::Printer printer(std::move(backend));
    barcode::Code128 code;
    Run run;
    run.boxes.setStrichbreite(width);
    try {
        labelprinter::LabelLayouts layouts(printer, code, run.boxes, data);
        (layouts.*layout)();
    } catch (const platform::RuntimeError &e) {
        run.error = e.message();
    }
    run.ops = rec->ops();
    for (const auto &op : run.ops) {
        if (op.kind == RecordedOp::Text)
            run.texts << op;
        if (op.isBar())
            run.bars << op;
    }
    return run;
}

LabelData record()
{
    LabelData d;
    d.ArtikelNr = "4711-0815";
    d.Preis1 = "12,95 €";
    d.Preis2 = "9,95 €";
    d.MatchCode = "MUSTERMANN";
    d.WarenGruppe = "Bücher";
    d.ISBN = "978-3-16-148410-0";
    d.Titel = "Der Titel";
    d.Autor = "Die Autorin";
    d.Verlag = "Der Verlag";
    d.Bemerkung = "Eine Bemerkung";
    return d;
}

/// Compares the printed lines in order; x of items after the first on a line
/// is only required to follow the previous item.
void compareLines(const QList<RecordedOp> &texts, const QList<Line> &expected)
{
    QCOMPARE(texts.size(), expected.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const auto &op = texts[i];
        const Line &e = expected[i];
        const QString where = QStringLiteral("Zeile %1 \"%2\" bei (%3, %4)").arg(i).arg(op.text).arg(op.x).arg(op.y);
        QVERIFY2(op.text == e.text, qPrintable(where));
        if (e.x >= 0)
            QVERIFY2(qAbs(op.x - e.x) < 0.01, qPrintable(where));
        else
            QVERIFY2(op.x > texts[i - 1].x, qPrintable(where));
        QVERIFY2(qAbs(op.y - e.y) < 0.5, qPrintable(where));
        QVERIFY2(op.font.size == e.size && op.font.bold == e.bold && op.font.name == "Arial", qPrintable(where));
    }
}

int barsOf(const QString &text)
{
    return runLayout(&labelprinter::LabelLayouts::EinLabel, [&] { LabelData d; d.ArtikelNr = text; return d; }()).bars.size();
}

} // namespace

class TestLabelLayouts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void singleLabelStepByStep()
    {
        const Run run = runLayout(&labelprinter::LabelLayouts::EinLabel, record());
        QCOMPARE(run.error, QString());
        const double number = BarsTop + 710;
        compareLines(run.texts, {
            {"12,95 €", 100, 100, 16, true}, {Ten, -1, 100, 16, true}, {"9,95 €", -1, 100, 16, true},
            {"4711-0815", 100, number, 12, true},
            {"MUSTERMANN", 100, number + L12 + L10, 10, false},
            {"WG: ", 100, number + L12 + 2 * L10, 10, false}, {"Bücher", -1, number + L12 + 2 * L10, 10, false},
            {"   ", -1, number + L12 + 2 * L10, 10, false}, {"978-3-16-148410-0", -1, number + L12 + 2 * L10, 10, false},
        });
        QVERIFY(!run.bars.isEmpty());
        QCOMPARE(run.bars.first().x, 100.0);
        for (const auto &bar : run.bars) {
            QCOMPARE(bar.y, BarsTop);
            QCOMPARE(bar.height, 680.0);
            QCOMPARE(bar.penWidth, 4.0); // the default width at 300 dpi
        }
        // Between the prices and the bars: one empty 16-point line.
        QVERIFY(qAbs(BarsTop - (100 + 2 * L16)) < 0.5);
        QCOMPARE(run.boxes.strichbreite(), QStringLiteral("4"));
        QCOMPARE(run.boxes.maxZeichen(), QStringLiteral("18,14"));
        // The page and the job stay open.
        for (const auto &op : run.ops)
            QVERIFY(op.kind != RecordedOp::NewPage && op.kind != RecordedOp::EndJob);
    }

    void articleLabelStepByStep()
    {
        const Run run = runLayout(&labelprinter::LabelLayouts::Etikett, record());
        QCOMPARE(run.error, QString());
        const double number = BarsTop + 710;
        const double isbn = number + L12 + L10;
        const double titel = isbn + 2 * L10;
        compareLines(run.texts, {
            {"12,95 €", 100, 100, 16, true}, {Ten, -1, 100, 16, true}, {"9,95 €", -1, 100, 16, true},
            {"4711-0815", 100, number, 12, true},
            {"978-3-16-148410-0", 100, isbn, 10, false}, {Ten + "Warengruppe: ", -1, isbn, 10, false},
            {"Bücher", -1, isbn, 10, false},
            {"Titel:", 100, titel, 10, false}, {"Der Titel", 1100, titel, 10, false},
            {"Autor:", 100, titel + L10, 10, false}, {"Die Autorin", 1100, titel + L10, 10, false},
            {"Verlag:", 100, titel + 2 * L10, 10, false}, {"Der Verlag", 1100, titel + 2 * L10, 10, false},
            {"Eine Bemerkung", 100, titel + 4 * L10, 10, false},
        });
        QCOMPARE(run.bars.first().x, 100.0);
        QCOMPARE(run.bars.first().y, BarsTop);
        QCOMPARE(run.bars.size(), barsOf("4711-0815"));
    }

    // Empty fields keep their lines; the captions and fixed texts still print.
    void emptyFieldsKeepTheirPlaces()
    {
        const Run single = runLayout(&labelprinter::LabelLayouts::EinLabel, LabelData{});
        const double number = BarsTop + 710;
        compareLines(single.texts, {
            {Ten, 100, 100, 16, true},
            {"WG: ", 100, number + L12 + 2 * L10, 10, false}, {"   ", -1, number + L12 + 2 * L10, 10, false},
        });
        // Start, check and stop symbols only.
        QCOMPARE(single.bars.first().y, BarsTop);
        QVERIFY(single.bars.size() < barsOf("A"));

        const Run article = runLayout(&labelprinter::LabelLayouts::Etikett, LabelData{});
        const double titel = number + L12 + 3 * L10;
        compareLines(article.texts, {
            {Ten, 100, 100, 16, true}, {Ten + "Warengruppe: ", 100, number + L12 + L10, 10, false},
            {"Titel:", 100, titel, 10, false}, {"Autor:", 100, titel + L10, 10, false},
            {"Verlag:", 100, titel + 2 * L10, 10, false},
        });
    }

    void longTextsAreNeitherCutNorWrapped_data()
    {
        QTest::addColumn<bool>("article");
        QTest::newRow("single label") << false;
        QTest::newRow("article label") << true;
    }
    void longTextsAreNeitherCutNorWrapped()
    {
        QFETCH(bool, article);
        LabelData d = record();
        d.MatchCode = QString(300, u'M');
        d.Titel = QString(300, u'T');
        d.Bemerkung = QStringLiteral("Sehr lange Bemerkung ").repeated(20);
        const Run run = runLayout(article ? &labelprinter::LabelLayouts::Etikett : &labelprinter::LabelLayouts::EinLabel, d);
        const QString longText = article ? d.Titel : d.MatchCode;
        const auto it = std::find_if(run.texts.begin(), run.texts.end(), [&](const RecordedOp &op) { return op.text == longText; });
        QVERIFY(it != run.texts.end());
        // Every line after it keeps its place: one line height further down.
        const auto next = it + 1;
        QVERIFY(next != run.texts.end());
        QVERIFY(qAbs(next->y - (it->y + L10)) < 0.5);
    }

    // The width the bar-width step takes from the `Strichbreite` text.
    void barWidthFromTheBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("error");
        QTest::newRow("2.5 to even") << "2.5" << 2 << "";
        QTest::newRow("3.5 to even") << "3.5" << 4 << "";
        QTest::newRow("digit and letters") << "3abc" << 3 << "";
        QTest::newRow("letters only") << "abc" << 4 << "";
        QTest::newRow("zero") << "0" << 4 << "";
        QTest::newRow("blanks first") << "  2" << 2 << "";
        QTest::newRow("one pixel") << "1" << 1 << "";
        QTest::newRow("negative") << "-1" << 0 << "Laufzeitfehler 5";
        QTest::newRow("beyond 16 bits") << "40000" << 0 << "Laufzeitfehler 6";
    }
    void barWidthFromTheBox()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, error);
        for (auto layout : {&labelprinter::LabelLayouts::EinLabel, &labelprinter::LabelLayouts::Etikett}) {
            const Run run = runLayout(layout, record(), text);
            if (!error.isEmpty()) {
                QVERIFY2(run.error.startsWith(error), qPrintable(run.error));
                QVERIFY2(run.error.contains("erlaubt sind 1 bis 32767"), qPrintable(run.error));
                QVERIFY2(run.ops.isEmpty(), "vor dem Fehler wurde gedruckt");
                continue;
            }
            QCOMPARE(run.error, QString());
            QCOMPARE(run.boxes.strichbreite(), QString::number(width));
            for (const auto &bar : run.bars)
                QCOMPARE(bar.penWidth, double(width));
            // Wider bars leave room for fewer characters.
            const double fit = (4000 - 4.8 * 35) / (width * 4.8) / 11;
            QCOMPARE(run.boxes.maxZeichen(), QLocale().toString(qRound(fit * 100) / 100.0, 'f', QLocale::FloatingPointShortest));
        }
    }

    void canoeLabelKeepsTheTopBlank()
    {
        const Run run = runLayout(&labelprinter::LabelLayouts::KanuEtikett, record());
        QCOMPARE(run.error, QString());
        QCOMPARE(run.texts.first().text, QStringLiteral("MUSTERMANN"));
        QCOMPARE(run.texts.first().y, 3100.0);
        for (const auto &op : run.texts)
            QVERIFY(op.y >= 3100);
        const auto price = std::find_if(run.texts.begin(), run.texts.end(), [](const RecordedOp &op) { return op.text == "12,95 €"; });
        QVERIFY(price != run.texts.end());
        QCOMPARE(price->y, 5400.0);
        QCOMPARE(price->font.name, QStringLiteral("Courier New"));
        QVERIFY(price->font.bold && price->font.size == 20);
    }
};

QTEST_MAIN(TestLabelLayouts)
#include "tst_labellayouts.moc"
