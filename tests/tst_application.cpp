#include "automation/Application.h"
#include "automation/NotImplemented.h"
#include "labelprinter/SetupFrm.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>

using namespace tarvel;
using automation::Application;
using labelprinter::LabelData;
using platform::RecordedOp;
using platform::RuntimeError;

namespace {

struct Recorded
{
    platform::RecordingBackend *rec;
    std::unique_ptr<Application> app;
};

Recorded recordedApplication()
{
    auto backend = std::make_unique<platform::RecordingBackend>(300.0);
    auto *rec = backend.get();
    auto app = std::make_unique<Application>(std::make_unique<platform::Printer>(std::move(backend)));
    return {rec, std::move(app)};
}

QList<RecordedOp::Kind> jobOps(const QList<RecordedOp> &ops)
{
    QList<RecordedOp::Kind> kinds;
    for (const auto &op : ops) {
        if (op.kind != RecordedOp::Text && op.kind != RecordedOp::Line)
            kinds << op.kind;
    }
    return kinds;
}

QStringList texts(const QList<RecordedOp> &ops)
{
    QStringList out;
    for (const auto &op : ops) {
        if (op.kind == RecordedOp::Text)
            out << op.text;
    }
    return out;
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
    }

    void labelsArePagesOfOneJobSentAtRelease()
    {
        auto [rec, app] = recordedApplication();
        app->setRecordField(&LabelData::ArtikelNr, "4711");
        for (int i = 0; i < 3; ++i)
            app->DruckeLabel();
        QCOMPARE(app->printCount(), qint16(3));
        using K = RecordedOp;
        QCOMPARE(jobOps(rec->ops()), (QList<K::Kind>{K::BeginJob, K::NewPage, K::NewPage}));
        QCOMPARE(app->Release(), QStringLiteral("Aufzeichnung"));
        QCOMPARE(jobOps(rec->ops()), (QList<K::Kind>{K::BeginJob, K::NewPage, K::NewPage, K::EndJob}));
        QVERIFY(app->released());
        QVERIFY(!app->dialog().isVisible());
    }

    void objectWithoutPrintSendsNothing()
    {
        auto [rec, app] = recordedApplication();
        app->setRecordField(&LabelData::ArtikelNr, "4711");
        QCOMPARE(app->Release(), QString());
        QVERIFY(rec->ops().isEmpty());
    }

    void recordFieldsShowInTheDialogAndStayApart()
    {
        auto [rec, app] = recordedApplication();
        app->setRecordField(&LabelData::Preis1, "12,95 €");
        app->setRecordField(&LabelData::Preis2, "9,95 €");
        app->setRecordField(&LabelData::Preis1, "1,00 €");
        QCOMPARE(app->recordField(&LabelData::Preis1), QStringLiteral("1,00 €"));
        QCOMPARE(app->recordField(&LabelData::Preis2), QStringLiteral("9,95 €"));
        QCOMPARE(app->dialog().findChild<QLabel *>("Preis1")->text(), QStringLiteral("1,00 €"));
        QCOMPARE(app->dialog().findChild<QLabel *>("Preis2")->text(), QStringLiteral("9,95 €"));
        app->setText(&LabelData::Titel, "Der Titel");
        QCOMPARE(app->dialog().data().Titel, QStringLiteral("Der Titel"));
        app->setStartPosition(3);
        QCOMPARE(app->dialog().data().StartPosition, 3);
        // A field not set again prints its earlier value.
        app->DruckeLabel();
        app->setRecordField(&LabelData::Preis2, "2,00 €");
        app->DruckeLabel();
        const QStringList printed = texts(rec->ops());
        QCOMPARE(printed.count(QStringLiteral("1,00 €")), 2);
    }

    void zeileOutsideZeroToFive_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<bool>("stored");
        QTest::newRow("0") << 0 << true;
        QTest::newRow("5") << 5 << true;
        QTest::newRow("6") << 6 << false;
        QTest::newRow("-1") << -1 << false;
        QTest::newRow("-32768") << -32768 << false;
        QTest::newRow("32767") << 32767 << false;
    }
    void zeileOutsideZeroToFive()
    {
        QFETCH(int, nr);
        QFETCH(bool, stored);
        auto [rec, app] = recordedApplication();
        try {
            app->setZeile(qint16(nr), "Text");
            QVERIFY(stored);
            QCOMPARE(app->Zeile()[size_t(nr)], QStringLiteral("Text"));
        } catch (const RuntimeError &e) {
            QVERIFY(!stored);
            QCOMPARE(e.number(), 9);
            QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (Zeile %1)").arg(nr));
            for (const QString &line : app->Zeile())
                QVERIFY(line.isEmpty());
        }
    }

    void missingLayoutsRefuseWithoutCounting()
    {
        auto [rec, app] = recordedApplication();
        const std::function<void()> refused[] = {
            [&] { app->DruckeAbholschein(); },     [&] { app->DruckeAbholscheinDINA4(); },
            [&] { app->DruckeListe(); },           [&] { app->DruckeLaserLabel(); },
            [&] { app->DruckeLaserLabel4Bahn(); }, [&] { app->DruckeAdressLabel(1); },
        };
        for (const auto &member : refused)
            QVERIFY_THROWS_EXCEPTION(automation::NotImplemented, member());
        QCOMPARE(app->printCount(), qint16(0));
        app->DruckeLabel();
        QVERIFY(!jobOps(rec->ops()).contains(RecordedOp::NewPage));
    }

    // Offscreen nobody can close the message box: the error goes to the caller.
    void singleLabelErrorReachesTheCallerOffscreen()
    {
        auto [rec, app] = recordedApplication();
        QSignalSpy reported(&app->dialog(), &labelprinter::SetupFrm::reported);
        app->dialog().findChild<QLineEdit *>("Strichbreite")->setText("40000");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Beim Drucken ist folgender Fehler aufgetreten: Überlauf"));
        try {
            app->DruckeLabel();
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
            QVERIFY(e.message().contains("40000"));
        }
        QCOMPARE(app->printCount(), qint16(1));
        QCOMPARE(reported.size(), 1);
        QVERIFY(reported[0][0].toString().startsWith("Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\rÜberlauf"));
        // The failed label drew nothing: the next one opens the job on its first page.
        app->dialog().findChild<QLineEdit *>("Strichbreite")->setText("4");
        app->DruckeLabel();
        QCOMPARE(jobOps(rec->ops()), QList<RecordedOp::Kind>{RecordedOp::BeginJob});
    }

    void articleLabelPassesPrinterErrorsOn()
    {
        auto [rec, app] = recordedApplication();
        rec->failNextOperation();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, app->DruckeEtikett());
        QCOMPARE(app->printCount(), qint16(1));
    }

    void testPrintBetweenLabelsLeavesNoBlankPage()
    {
        auto [rec, app] = recordedApplication();
        app->setRecordField(&LabelData::ArtikelNr, "4711");
        app->DruckeLabel();
        QTest::ignoreMessage(QtInfoMsg, "Test-Label ausgegeben: Aufzeichnung");
        QTest::ignoreMessage(QtInfoMsg, "Test-Label erfolgreich gedruckt.");
        app->dialog().ProbeDruck_Click(); // its own page 2, then the job ends
        app->DruckeLabel();
        app->Release();
        using K = RecordedOp;
        QCOMPARE(jobOps(rec->ops()), (QList<K::Kind>{K::BeginJob, K::NewPage, K::EndJob, K::BeginJob, K::EndJob}));
    }

    void setupReturnsAtOnceWithoutScreen()
    {
        auto [rec, app] = recordedApplication();
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Kein Bildschirm"));
        QElapsedTimer t;
        t.start();
        app->Setup();
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(app->dialog().isVisible());
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
