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
    QTemporaryDir m_settings; // a store of its own: other tests run at the same time

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
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

    // The print counter is 16 bits: the call that would pass 32767 fails with
    // error 6 after its page break and before its layout.
    void printCounterOverflows()
    {
        auto [rec, app] = recordedApplication();
        for (int i = 0; i < 32767; ++i) {
            app->DruckeEtikett();
            if (i % 1000 == 0)
                rec->clear();
        }
        rec->clear();
        try {
            app->DruckeLabel();
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
        }
        QCOMPARE(app->printCount(), qint16(32767));
        QVERIFY(texts(rec->ops()).isEmpty());
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

};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
