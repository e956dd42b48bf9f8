// The automation objects without a transport, on the recording printer: what
// each print member does to the object's one job, its pages and places.
#include "automation/AdressLabelsObject.h"
#include "automation/Application.h"
#include "automation/Variants.h"
#include "labelprinter/SetupFrm.h"
#include "platform/PdfBackend.h"
#include "support/RecordedJob.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>
#include <cmath>

using namespace tarvel;
using automation::Application;
using labelprinter::LabelData;
using platform::RecordedOp;
using tarvel::test::RecordedJob;

namespace {

/// The print members by name, as the tables list them.
void print(Application &a, const QString &name)
{
    static const QHash<QString, std::function<void(Application &)>> members = {
        {"DruckeLabel", &Application::DruckeLabel}, {"DruckeEtikett", &Application::DruckeEtikett},
        {"DruckeKanuEtikett", &Application::DruckeKanuEtikett},
        {"DruckeAbholschein", &Application::DruckeAbholschein}, {"DruckeAbholscheinDINA4", &Application::DruckeAbholscheinDINA4},
        {"DruckeListe", &Application::DruckeListe}, {"DruckeLaserLabel", &Application::DruckeLaserLabel},
        {"DruckeLaserLabel4Bahn", &Application::DruckeLaserLabel4Bahn}, {"DruckeAdressLabel", [](Application &a) { a.DruckeAdressLabel(-1); }},
    };
    members.value(name)(a);
}

/// An object on a recording printer, with a record and free lines that every
/// layout prints something of.
struct Recorded : RecordedJob
{
    std::unique_ptr<Application> app = std::make_unique<Application>(handOver());

    Recorded()
    {
        app->setRecordField(&LabelData::ArtikelNr, "4711-0815");
        app->setRecordField(&LabelData::Preis1, "12,95 €");
        app->setRecordField(&LabelData::MatchCode, "MUSTER");
        app->setText(&LabelData::VorgangsNr, "V-0815");
        for (qint16 i = 0; i < 6; ++i)
            app->setZeile(i, QStringLiteral("Zeile %1").arg(i));
    }
    QList<RecordedOp::Kind> jobOps() const
    {
        QList<RecordedOp::Kind> kinds;
        for (const auto &op : ops())
            if (QList{RecordedOp::BeginJob, RecordedOp::NewPage, RecordedOp::EndJob, RecordedOp::CancelJob}.contains(op.kind))
                kinds << op.kind;
        return kinds;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &op : RecordedJob::texts(ops()))
            out << op.text;
        return out;
    }
};

/// The place (from 1, down the columns) that an item took on its sheet,
/// from its first bar or first line: the grid's first place and pitch.
int placeOf(const QString &name, const QList<RecordedOp> &ops)
{
    auto place = [](const RecordedOp *op, double left, double top, double pitchX, double pitchY, int rows) {
        return op ? int(std::floor((op->x - left) / pitchX)) * rows + int(std::floor((op->y - top) / pitchY)) + 1 : 0;
    };
    if (name == QLatin1String("DruckeLaserLabel"))
        return place(RecordedJob::first(ops, RecordedOp::Line), 310, 700, 3700, 1930, 8);
    if (name == QLatin1String("DruckeLaserLabel4Bahn"))
        return place(RecordedJob::first(ops, RecordedOp::Line), 540, 1250, 2740, 1210, 12);
    if (name == QLatin1String("DruckeAdressLabel"))
        return place(RecordedJob::text(ops, "Zeile 0"), 310, 450, 3700, 1930, 8);
    return place(RecordedJob::text(ops, "Datum: "), 5300, 0, 8400, 5800, 2); // the slips' right column
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settings; // a store of its own: other tests run at the same time

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QLoggingCategory::setFilterRules(QStringLiteral("tarvel.*.info=false"));
    }

    /// Each object keeps its record and prints into a job of its own: record
    /// fields show in its dialog, each apart, one not set again prints its
    /// earlier value, and two objects printing in turn keep their labels and
    /// places apart.
    void objectsKeepTheirRecordsAndJobs()
    {
        Recorded a, b;
        a.app->setRecordField(&LabelData::Preis2, "9,95 €");
        a.app->setRecordField(&LabelData::Preis1, "1,00 €");
        QCOMPARE(a.app->dialog().findChild<QLabel *>("Preis2")->text(), QStringLiteral("9,95 €"));
        a.app->setText(&LabelData::Titel, "Der Titel");
        QCOMPARE(a.app->dialog().data().Titel, QStringLiteral("Der Titel"));
        for (int i = 1; i <= 3; ++i) {
            a.app->setRecordField(&LabelData::ArtikelNr, QStringLiteral("A-%1").arg(i));
            a.app->DruckeLabel();
            b.app->setRecordField(&LabelData::ArtikelNr, QStringLiteral("B-%1").arg(i));
            b.app->DruckeLaserLabel();
        }
        QCOMPARE(a.texts().count(QStringLiteral("1,00 €")), 3);
        QCOMPARE(a.texts().filter(QRegularExpression("^[AB]-")), (QStringList{"A-1", "A-2", "A-3"}));
        QCOMPARE(b.texts().filter(QRegularExpression("^[AB]-")), (QStringList{"B-1", "B-2", "B-3"}));
        QCOMPARE(placeOf("DruckeLaserLabel", b.during([&] { b.app->DruckeLaserLabel(); })), 4);
        // Lines 0 to 5 only; numbers from clients in 16 bits, fractions to 15 and 7 digits.
        QCOMPARE(RecordedJob::errorOf([&] { a.app->setZeile(6, "x"); }) * 10 + RecordedJob::errorOf([&] { a.app->setZeile(-1, "x"); }), 99);
        using automation::Variants::toInt16, automation::Variants::toText;
        QCOMPARE(toInt16(qint32(-32768)) + toInt16(QVariant::fromValue(quint32(32767))), qint16(-1));
        QCOMPARE(RecordedJob::errorOf([] { toInt16(qint32(-32769)); }) + RecordedJob::errorOf([] { toInt16(qint32(32768)); })
                     + RecordedJob::errorOf([] { toInt16(QVariant::fromValue(quint32(32768))); }), 18);
        QCOMPARE(QStringList({toText(9.95 * 3), toText(2.0 / 3), toText(QVariant::fromValue(2.0f / 3))}),
                 QStringList({QLocale().toString(29.85), QLocale().toString(0.666666666666667, 'g', 15), QLocale().toString(0.6666667, 'g', 7)}));
        // Beyond 15 digits and below 0.0001 in E notation, never hundreds of digits; NaN and infinity are error 13.
        const QString comma = QLocale().decimalPoint();
        QCOMPARE(QStringList({toText(1e308), toText(-1.5e-5), toText(123456789012345678.0), toText(-0.0), toText(1e-4)}),
                 QStringList({"1E+308", "-1" + comma + "5E-05", "1" + comma + "23456789012346E+17", "0", "0" + comma + "0001"}));
        QCOMPARE(RecordedJob::errorOf([] { toText(qQNaN()); }) + RecordedJob::errorOf([] { toText(-qInf()); }), 26);
    }

    /// One position reaches the slips and the three sheets; 0 acts as 1, and a
    /// negative one is error 5 before any receiver changes. The sheets go on
    /// from there; a single slip takes the top left of a page of its own and
    /// leaves the next A4 slip the second quarter.
    void places_data()
    {
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("places");
        const QString laser = "DruckeLaserLabel", lanes = "DruckeLaserLabel4Bahn", address = "DruckeAdressLabel";
        const QString a4 = "DruckeAbholscheinDINA4", single = "DruckeAbholschein";
        QTest::newRow("each sheet from 9") << QList<int>{9} << QStringList{laser, laser, lanes, address} << QList<int>{9, 10, 9, 9};
        QTest::newRow("-1 changes no sheet") << QList<int>{3, -1} << QStringList{a4, address, laser, lanes} << QList<int>{3, 3, 3, 3};
        QTest::newRow("A4 slips from 3") << QList<int>{3} << QStringList{a4, a4, a4} << QList<int>{3, 4, 1};
        QTest::newRow("single slips from 3") << QList<int>{3} << QStringList{single, single} << QList<int>{1, 1};
        QTest::newRow("A4, single, A4") << QList<int>{3} << QStringList{a4, single, a4} << QList<int>{3, 1, 2};
    }
    void places()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, places);
        Recorded o;
        for (int pos : positions)
            QCOMPARE(RecordedJob::errorOf([&] { o.app->setStartPosition(qint16(pos)); }), pos < 0 ? 5 : 0);
        QList<int> placed;
        for (const QString &name : names)
            placed << placeOf(name, o.during([&] { print(*o.app, name); }));
        QCOMPARE(placed, places);
    }

    /// An address label prints its lines cut to the label's width, but the
    /// stored lines stay whole: a later pickup slip prints them uncut. The
    /// address label class draws nothing for a refused call, and an object
    /// that drew nothing delivers no job.
    void addressLabels()
    {
        Recorded o;
        const QString wide = QStringLiteral("Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG");
        o.app->setZeile(0, wide);
        const QString cut = o.during([&] { o.app->DruckeAdressLabel(0); }).value(0).text;
        QVERIFY2(wide.startsWith(cut) && cut.size() < wide.size(), qPrintable(cut));
        QCOMPARE(o.app->Zeile()[0], wide);
        QVERIFY(RecordedJob::text(o.during([&] { o.app->DruckeAbholschein(); }), wide));
        RecordedJob job;
        automation::AdressLabelsObject labels(job.handOver());
        QCOMPARE(RecordedJob::errorOf([&] { labels.Drucke(0, {"a", "b", "c", "d"}); }), 9);
        QVERIFY(job.ops().isEmpty());
        QCOMPARE(labels.Release(), QString());
        QVERIFY(labels.released());
    }

    /// Errors of the dialog's boxes reach the caller (offscreen nobody can close
    /// a message box), and the failed calls leave nothing behind: an offset box
    /// without a number is error 13 before anything is printed; a bad bar width
    /// leaves no page. A test print in the dialog ends the job: the next label
    /// opens a new one instead of leaving a blank page.
    void dialogBetweenCalls()
    {
        Recorded o;
        o.app->dialog().findChild<QLineEdit *>("Abstand4BahnCtrl")->setText("oben");
        QCOMPARE(RecordedJob::errorOf([&] { o.app->DruckeLaserLabel4Bahn(); }), 13);
        QVERIFY(o.ops().isEmpty());
        o.app->dialog().findChild<QLineEdit *>("Strichbreite")->setText("40000");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Beim Drucken ist folgender Fehler aufgetreten: Überlauf"));
        QCOMPARE(RecordedJob::errorOf([&] { o.app->DruckeLabel(); }), 6);
        o.app->dialog().findChild<QLineEdit *>("Strichbreite")->setText("4");
        o.app->DruckeLabel();
        o.app->dialog().ProbeDruck_Click();
        o.app->DruckeLabel();
        o.app->Release();
        using K = RecordedOp;
        QCOMPARE(o.jobOps(), (QList<K::Kind>{K::BeginJob, K::NewPage, K::EndJob, K::BeginJob, K::EndJob}));
    }

    /// An object that ends without Release (its client gone) still delivers its job.
    void abandonedObjectDelivers()
    {
        QTemporaryDir jobs;
        platform::PdfBackend::setJobsFolder(jobs.path());
        Application(std::make_unique<platform::Printer>(std::make_unique<platform::PdfBackend>())).DruckeLabel();
        QCOMPARE(QDir(jobs.path()).entryList({"Tarvel-*.pdf"}, QDir::Files).size(), 1);
    }

    /// The print counter is 16 bits: the call that would pass 32767 fails with
    /// error 6 and counts nothing.
    void printCounterOverflows()
    {
        Recorded o;
        for (int i = 0; i < 32767; ++i) {
            o.app->DruckeEtikett();
            if (i % 1000 == 0)
                o.take();
        }
        QCOMPARE(RecordedJob::errorOf([&] { o.app->DruckeLabel(); }), 6);
        QCOMPARE(o.app->printCount(), qint16(32767));
    }

    /// Calls in the orders clients print in, and runs of one kind, each with a
    /// label after it: a call of another kind starts a page of its own, calls
    /// of one kind share theirs (the sheets and slips end their full pages
    /// themselves; laser and address labels share their 3 × 8 sheet while the
    /// place is free), no page stays blank, all is one job, nothing but the list
    /// prints italic or in colour, and the list's header comes only with the
    /// object's first print call.
    void kindsOfOutputOnTheirPages_data()
    {
        QTest::addColumn<QStringList>("calls"); // "name*n": n calls in a row; "StartPosition=n"
        QTest::addColumn<QList<int>>("pages");  // the page the last call of each group began on
        QTest::addColumn<int>("headers");
        auto row = [](const char *name, const QStringList &calls, const QList<int> &pages, int headers = 0) {
            QTest::newRow(name) << calls << pages << headers;
        };
        row("canoe label, slip, label", {"DruckeKanuEtikett", "DruckeAbholschein", "DruckeLabel"}, {1, 2, 3});
        row("label, list, laser", {"DruckeLabel", "DruckeListe", "DruckeLaserLabel"}, {1, 2, 3});
        row("3 labels", {"DruckeEtikett*3", "DruckeLabel"}, {3, 4});
        row("full laser sheet", {"DruckeLaserLabel*24", "DruckeLabel"}, {1, 2});
        row("25 laser labels", {"DruckeLaserLabel*25", "DruckeLabel"}, {2, 3});
        row("49 four-lane labels", {"DruckeLaserLabel4Bahn*49", "DruckeLabel"}, {2, 3});
        row("25 address labels", {"DruckeAdressLabel*25", "DruckeLabel"}, {2, 3});
        row("5 A4 slips", {"DruckeAbholscheinDINA4*5", "DruckeLabel"}, {2, 3});
        row("full list page", {"DruckeListe*12", "DruckeLabel"}, {1, 3}, 2);
        row("13 list lines", {"DruckeListe*13", "DruckeLabel"}, {2, 3}, 2);
        row("laser and address labels on one sheet",
            {"DruckeLaserLabel*12", "StartPosition=13", "DruckeAdressLabel*12", "DruckeLabel"}, {1, 1, 2});
        row("address label on a laser label's place", {"DruckeLaserLabel*12", "DruckeAdressLabel", "DruckeLaserLabel"}, {1, 2, 2});
    }
    void kindsOfOutputOnTheirPages()
    {
        QFETCH(QStringList, calls);
        QFETCH(QList<int>, pages);
        QFETCH(int, headers);
        Recorded o;
        const auto drawing = [](const RecordedOp &op) { return op.kind == RecordedOp::Text || op.kind == RecordedOp::Line; };
        const auto pageBreak = [](const RecordedOp &op) { return op.kind == RecordedOp::NewPage; };
        QList<int> began;
        int count = 0;
        for (const QString &call : calls) {
            if (call.startsWith("StartPosition=")) {
                o.app->setStartPosition(qint16(call.section('=', 1).toInt()));
                continue;
            }
            const QString name = call.section('*', 0, 0);
            for (int i = call.contains('*') ? call.section('*', 1).toInt() : 1; i > 0; --i, ++count) {
                const int breaks = o.count(RecordedOp::NewPage);
                const auto ops = o.during([&] { print(*o.app, name); });
                if (i == 1)
                    began << breaks + 1 + int(std::count_if(ops.begin(), std::find_if(ops.begin(), ops.end(), drawing), pageBreak));
                for (const auto &op : RecordedJob::texts(ops))
                    QVERIFY2(name == "DruckeListe" || (!op.font.italic && op.color == QColor(Qt::black)), qPrintable(name + ": " + op.text));
            }
        }
        QCOMPARE(began, pages);
        QCOMPARE(o.texts().filter(QRegularExpression("^Barcode-Liste vom ")).size(), headers);
        QCOMPARE(o.app->printCount(), qint16(count));
        QCOMPARE(o.app->Release(), QStringLiteral("Aufzeichnung"));
        QCOMPARE(o.count(RecordedOp::BeginJob), 1);
        for (const auto &page : o.pages())
            QVERIFY2(!page.isEmpty(), "leere Seite");
    }

    /// A call that fails leaves nothing of itself, not even the page it began;
    /// the client gets its error as before. The list's header goes with the
    /// first row that prints, and a laser label that failed on the last place
    /// still ends its sheet.
    void failedCallLeavesNothing_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pages");
        QTest::newRow("slip, halfway") << "DruckeLabel" << "DruckeAbholschein" << 2;
        QTest::newRow("A4 slip, halfway") << "DruckeLabel" << "DruckeAbholscheinDINA4" << 2;
        QTest::newRow("label, after its page break") << "DruckeLabel" << "DruckeLabel" << 2;
        QTest::newRow("list row") << "DruckeLabel" << "DruckeListe" << 2;
        QTest::newRow("first list row") << "" << "DruckeListe" << 1;
        QTest::newRow("24th laser label") << "DruckeLaserLabel*23" << "DruckeLaserLabel" << 2;
        QTest::newRow("48th four-lane label") << "DruckeLaserLabel4Bahn*47" << "DruckeLaserLabel4Bahn" << 2;
    }
    void failedCallLeavesNothing()
    {
        QFETCH(QString, before);
        QFETCH(QString, name);
        QFETCH(int, pages);
        Recorded o;
        for (int i = before.isEmpty() ? 0 : qMax(1, before.section('*', 1).toInt()); i > 0; --i)
            print(*o.app, before.section('*', 0, 0));
        const qsizetype done = o.ops().size();
        const QString tooLong(2000, 'Z'); // beyond the barcode's 16-bit check sum: error 6
        o.app->setText(&LabelData::VorgangsNr, tooLong);
        o.app->setRecordField(&LabelData::ArtikelNr, tooLong);
        if (name == "DruckeLabel")
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Beim Drucken ist folgender Fehler aufgetreten"));
        QCOMPARE(RecordedJob::errorOf([&] { print(*o.app, name); }), 6);
        QCOMPARE(o.ops().size(), done);
        o.app->setText(&LabelData::VorgangsNr, "V-0815");
        o.app->setRecordField(&LabelData::ArtikelNr, "4711");
        const int place = placeOf(name, o.during([&] { print(*o.app, name); }));
        o.app->Release();
        QCOMPARE(o.count(RecordedOp::NewPage) + 1, pages);
        if (name.startsWith("DruckeLaserLabel"))
            QCOMPARE(place, 1);
        const QStringList texts = o.texts();
        const qsizetype seite = texts.indexOf("Seite ");
        QCOMPARE(texts.filter(QRegularExpression("^Barcode-Liste vom ")).size(), before.isEmpty() ? 1 : 0);
        QCOMPARE(seite < 0 ? QString() : texts.value(seite + 1), before.isEmpty() ? " 1 " : "");
    }

    /// Texts up to 64 Ki characters print in every layout, cut to their room
    /// where it ends; a longer one is refused with error 5 naming the property
    /// and the limit, and the text before stays.
    void longTexts()
    {
        Recorded o;
        QString text;
        for (int i = 0; text.size() < 65536; ++i)
            text += QStringLiteral("Wort%1 ").arg(i);
        text.truncate(65536);
        const QList<std::pair<QString, std::function<void(const QString &)>>> setters{
            {"MatchCode", [&](const QString &t) { o.app->setRecordField(&LabelData::MatchCode, t); }},
            {"Titel", [&](const QString &t) { o.app->setText(&LabelData::Titel, t); }},
            {"Name1", [&](const QString &t) { o.app->setText(&LabelData::Name1, t); }},
            {"Zeile(0)", [&](const QString &t) { o.app->setZeile(0, t); }},
            {"zuHaenden", [&](const QString &t) { o.app->setZuHaenden(t); }},
            {"Anrede", [&](const QString &t) { o.app->setAnrede(t); }},
        };
        for (const auto &[property, set] : setters) {
            QCOMPARE(RecordedJob::messageOf([&] { set(text + u'x'); }),
                     QStringLiteral("Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (%1: 65537 "
                                    "Zeichen, erlaubt sind höchstens 65536)").arg(property));
            set(text);
        }
        for (const char *name : {"DruckeLabel", "DruckeEtikett", "DruckeKanuEtikett", "DruckeAbholschein", "DruckeListe",
                                 "DruckeAbholscheinDINA4", "DruckeLaserLabel", "DruckeLaserLabel4Bahn", "DruckeAdressLabel"})
            print(*o.app, name);
        QCOMPARE(o.texts().filter(QRegularExpression("^Wort0 Wort1 ")).size(), 17);
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
