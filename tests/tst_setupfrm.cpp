// The setup dialog on the offscreen platform: its controls, its settings and
// its buttons, drawing on the recording surface.
#include "labelprinter/SetupFrm.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/SettingsStore.h"
#include "support/BarcodeDecoder.h"
#include "support/RecordedJob.h"

#include <QtTest>
#include <QtWidgets>

using namespace tarvel;
using labelprinter::SetupFrm;
using platform::SettingsStore;

namespace {

const QString Allowed = QStringLiteral("erlaubt sind 1 bis 32767 Pixel, 0 für die Standardbreite)");

struct Dialog : test::RecordedJob
{
    std::unique_ptr<SetupFrm> frm = std::make_unique<SetupFrm>(printer(), code());

    QLineEdit *box(const QString &name) const { return frm->findChild<QLineEdit *>(name); }

    /// Leaves \a name as a user does: focus in, type \a text if any, focus to another box;
    /// \a meanwhile runs before the focus leaves.
    void typeAndLeave(const QString &name, const std::optional<QString> &text, const std::function<void()> &meanwhile = {})
    {
        frm->show();
        QApplication::setActiveWindow(frm.get());
        QVERIFY(QTest::qWaitForWindowActive(frm.get()));
        box(name)->setFocus();
        QTRY_VERIFY(box(name)->hasFocus());
        if (text) {
            box(name)->selectAll();
            box(name)->del();
            QTest::keyClicks(box(name), *text);
        }
        if (meanwhile)
            meanwhile();
        box(name == "OffsetYCtrl" ? "OffsetXCtrl" : "OffsetYCtrl")->setFocus();
        QTRY_VERIFY(!box(name)->hasFocus());
    }
};

} // namespace

class TestSetupFrm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settings; // a store of its own: other tests run at the same time

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void init() { QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear(); }

    void controlsAreNamedAndCaptioned()
    {
        Dialog d;
        QCOMPARE(d.frm->windowTitle(), QStringLiteral("Tarvel"));
        const QStringList expected{
            "Label8 Artikel-Nummer................", "ArtikelNr ", "Label9 ISBN/EAN..........................",
            "DruckerFrame Aufzeichnung", "Label1 Strichbreite...................", "Strichbreite 4", "MaxZeichen 18,14",
            "Label11 4 bahning Abstand", "Abstand4BahnCtrl 0", "DruckerAuswahl Drucker Einstellungen",
            "ProbeDruck Probe Druck", "OK OK"};
        QStringList seen;
        for (const QString &entry : expected) {
            const QObject *w = d.frm->findChild<QObject *>(entry.section(u' ', 0, 0));
            seen << (w ? w->objectName() + u' ' + w->property(w->inherits("QGroupBox") ? "title" : "text").toString() : "(fehlt)");
        }
        QCOMPARE(seen, expected);
        // Each caption's words show whole, no box over their end; only the dot leaders may be cut.
        for (const QLabel *caption : d.frm->findChildren<QLabel *>(QRegularExpression("^Label"))) {
            const QRect room(caption->mapTo(d.frm.get(), QPoint()), caption->size());
            const QString words = caption->text().remove(QRegularExpression("\\.+$"));
            QVERIFY2(caption->fontMetrics().horizontalAdvance(words) <= room.width(), qPrintable(words));
            for (const QLineEdit *box : d.frm->findChildren<QLineEdit *>())
                QVERIFY2(!room.intersects(QRect(box->mapTo(d.frm.get(), QPoint()), box->size())), qPrintable(words));
        }
        QCOMPARE(d.frm->size(), QSize(qRound(5280 * d.frm->logicalDpiX() / 1440.0),
                                      qRound(5625 * d.frm->logicalDpiY() / 1440.0)));
        // The preview picture is a Code 128 of the program's name.
        const QPixmap picture = d.frm->findChild<QLabel *>("Picture2")->pixmap();
        QCOMPARE(picture.size(), QSize(169, 56));
        QCOMPARE(test::BarcodeDecoder::decodeAll(picture.toImage().scaled(169 * 4, 56 * 4)), QStringList{"Tarvel"});
    }

    // Only an edit writes. Leaving a box stores its leading number; a bar width the
    // surface cannot take is refused with a message, and the width in effect (3) stays.
    // Focus alone writes nothing: when another object's dialog stores a newer value,
    // a box left unedited keeps it. A client's label while the user types (it runs
    // the bar-width step, which rewrites the box) does not undo the edit.
    void onlyAnEditWrites_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("labelMeanwhile");
        QTest::newRow("empty offset") << "OffsetXCtrl" << "" << "OffsetX" << "0" << "" << false;
        QTest::newRow("fraction") << "OffsetYCtrl" << " 12.5x" << "OffsetY" << "12,5" << " 12.5x" << false;
        QTest::newRow("four-lane") << "Abstand4BahnCtrl" << "-30" << "Abstand4Bahn" << "-30" << "-30" << false;
        QTest::newRow("bar width") << "Strichbreite" << "2" << "DrawWidth" << "2" << "2" << false;
        QTest::newRow("bar width half") << "Strichbreite" << "3.5" << "DrawWidth" << "4" << "4" << false;
        QTest::newRow("bar width beyond 16 bits") << "Strichbreite" << "40000" << "DrawWidth" << "3" << "3" << false;
        QTest::newRow("bar width, a label meanwhile") << "Strichbreite" << "2" << "DrawWidth" << "2" << "2" << true;
    }
    void onlyAnEditWrites()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(bool, labelMeanwhile);
        SettingsStore::write("Tarvel", "System", "DrawWidth", "3");
        Dialog d;
        QSignalSpy reported(d.frm.get(), &SetupFrm::reported);
        const bool refused = key == "DrawWidth" && stored == "3";
        if (refused)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(Allowed)));
        d.typeAndLeave(box, typed, [&] {
            if (labelMeanwhile)
                QVERIFY(d.frm->EinLabel());
        });
        QCOMPARE(SettingsStore::read("Tarvel", "System", key, QStringLiteral("<fehlt>")), stored);
        QCOMPARE(d.box(box)->text(), shown);
        QCOMPARE(d.printer().DrawWidth(), key == "DrawWidth" ? shown.toInt() : 3);
        QCOMPARE(reported.size(), refused ? 1 : 0);
        if (refused)
            QCOMPARE(reported[0], (QVariantList{"Diese Strichbreite wird nicht angenommen:\n\r\n\rÜberlauf (Strichbreite \""
                                                    + typed + "\": " + Allowed, QVariant::fromValue(QMessageBox::Warning)}));
        SettingsStore::write("Tarvel", "System", key, "7");
        d.typeAndLeave(box, std::nullopt);
        QCOMPARE(SettingsStore::read("Tarvel", "System", key, {}), QStringLiteral("7"));
    }

    // Setup returns at once where nobody can press OK; where a person can, it waits for OK (or a
    // close), the printer dialog confirms with "OK", and an error of the single label shows in a warning box, the label returning normally.
    void whereSomeoneCanAnswer()
    {
        Dialog d;
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Kein Bildschirm"));
        d.frm->Setup();
        d.frm->setInteractive(true);
        d.frm->show();
        for (const char *how : {"OK", "OK", "close"}) {
            bool pressed = false;
            QTimer::singleShot(50, d.frm.get(), [&] {
                pressed = true;
                QLatin1String(how) == "OK" ? QTest::mouseClick(d.frm->findChild<QPushButton *>("OK"), Qt::LeftButton) : void(d.frm->close());
            });
            d.frm->Setup();
            QVERIFY2(pressed, "Setup returned before OK");
        }
        QString confirm; // the printer dialog only chooses: its button is no "Drucken"
        QTimer::singleShot(200, d.frm.get(), [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            confirm = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->text();
            dialog->reject();
        });
        d.frm->DruckerAuswahl_Click();
        QCOMPARE(confirm, QStringLiteral("OK"));
        d.box("Strichbreite")->setText("40000");
        QString text;
        QTimer::singleShot(200, d.frm.get(), [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            box->accept();
        });
        QVERIFY(!d.frm->EinLabel());
        QCOMPARE(text, "Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\rÜberlauf (Strichbreite \"40000\": " + Allowed);
    }

    // The test print reports success only when the label was drawn, naming the
    // PDF it went to; the job ends in any case, with nothing left open.
    void testPrint_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<bool>("printerFails");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("toPdf");
        const QString failed = QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\r");
        QTest::newRow("good") << "4" << false << "Test-Label erfolgreich gedruckt." << false;
        QTest::newRow("to a PDF") << "4" << false << "Test-Label erfolgreich gedruckt.\nGespeichert als " << true;
        QTest::newRow("printer fails") << "4" << true << failed + "Druckerfehler (Aufzeichnung gestört)" << false;
        QTest::newRow("width beyond 16 bits") << "40000" << false
                                              << failed + "Überlauf (Strichbreite \"40000\": " + Allowed << false;
    }
    void testPrint()
    {
        QFETCH(QString, width);
        QFETCH(bool, printerFails);
        QFETCH(QString, message);
        QFETCH(bool, toPdf);
        QTemporaryDir jobs;
        platform::PdfBackend::setJobsFolder(jobs.path());
        platform::Printer pdf(std::make_unique<platform::PdfBackend>());
        Dialog d;
        if (toPdf)
            d.frm = std::make_unique<SetupFrm>(pdf, d.code());
        d.frm->setRecordField(&labelprinter::LabelData::ArtikelNr, "4711");
        d.box("Strichbreite")->setText(width);
        if (printerFails)
            d.backend().failNextOperation();
        QSignalSpy reported(d.frm.get(), &SetupFrm::reported);
        if (!printerFails && width == "4")
            QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Test-Label ausgegeben: " + (toPdf ? jobs.path() : "Aufzeichnung")));
        QTest::ignoreMessage(printerFails || width != "4" ? QtWarningMsg : QtInfoMsg,
                             QRegularExpression("^" + QRegularExpression::escape(QString(message).replace("\n\r\n\r", " ").replace('\n', ' '))));
        QTest::mouseClick(d.frm->findChild<QPushButton *>("ProbeDruck"), Qt::LeftButton);
        QCOMPARE(reported.size(), 1);
        const QStringList pdfs = QDir(jobs.path()).entryList({"*.pdf"});
        QCOMPARE(pdfs.size(), toPdf ? 1 : 0);
        QCOMPARE(reported[0][0].toString(), toPdf ? message + jobs.filePath(pdfs.value(0)) : message);
        QVERIFY(!(toPdf ? pdf : d.printer()).hasOpenJob());
    }
};

QTEST_MAIN(TestSetupFrm)
#include "tst_setupfrm.moc"
