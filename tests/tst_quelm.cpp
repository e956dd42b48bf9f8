#include "mainwindow/Quelm.h"
#include "platform/Numbers.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/SettingsStore.h"
#include "support/PdfPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QPrintPreviewWidget>
#include <QtTest>

using tarvel::mainwindow::Quelm;
using namespace tarvel::platform;

namespace {

struct Meldung
{
    QMessageBox::Icon icon;
    QString text;
    QString info;
};

QString artikel(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

QString stored(const QString &key)
{
    return SettingsStore::read("Tarvel", "System", key, "(fehlt)");
}

/// A window whose message boxes are collected instead of shown.
struct Fenster
{
    std::unique_ptr<Quelm> w = std::make_unique<Quelm>();
    QList<Meldung> meldungen;
    QStringList berichte;  ///< what the check's dialog showed
    bool trotzdem = false; ///< the answer to it
    Fenster()
    {
        w->setPruefDialog([this](const tarvel::runs::Befunde &, const QString &bericht) {
            berichte << bericht;
            return trotzdem;
        });
        w->setMeldungsZiel([this](QMessageBox::Icon icon, const QString &text, const QString &info) {
            meldungen << Meldung{icon, text, info};
        });
    }
    template<typename T> T *get(const QString &name) const
    {
        auto *c = w->findChild<T *>(name);
        if (!c)
            qWarning() << "no control" << name;
        return c;
    }
    QRadioButton *option(int group, int index) const
    {
        return get<QRadioButton>(QStringLiteral("Option%1(%2)").arg(group).arg(index));
    }
};

} // namespace

class TestQuelm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    QStringList jobs() const { return QDir(m_jobs.path()).entryList({"*.pdf"}, QDir::Files, QDir::Time); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        PdfBackend::setJobsFolder(m_jobs.path());
        PrinterChoice::instance().setCurrent(PdfBackend::DeviceName);
    }
    void init()
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel");
        store.clear();
        store.sync();
        for (const QString &f : QDir(m_jobs.path()).entryList(QDir::Files))
            QFile::remove(m_jobs.filePath(f));
        PrinterChoice::instance().setCurrent(PdfBackend::DeviceName);
    }

    void firstStartWithEmptyStore()
    {
        Fenster f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Barcode drucken"));
        QVERIFY(f.option(1, 3)->isChecked());
        QVERIFY(f.option(2, 3)->isChecked());
        QVERIFY(f.option(3, 0)->isChecked());
        QCOMPARE(f.get<QGroupBox>("DateiFrame")->title(), QString());
        QCOMPARE(f.get<QLabel>("Anzahl")->text(), QStringLiteral("0"));
        QCOMPARE(f.get<QLineEdit>("StartLabel")->text(), QStringLiteral("1"));
        QCOMPARE(f.get<QComboBox>("Währung")->currentText(), QStringLiteral("€"));
        QCOMPARE(f.get<QComboBox>("Währung")->count(), 3);
        QCOMPARE(f.get<QGroupBox>("DruckerFrame")->title(), QStringLiteral("PDF-Datei"));
        QCOMPARE(f.get<QLineEdit>("Strichbreite")->text(), QStringLiteral("4"));
        QCOMPARE(f.get<QLineEdit>("MaxZeichen")->text(), Numbers::numberText(18.14));
        QVERIFY(!f.get<QCheckBox>("LagerfachNr")->isChecked());
        // Selecting the stored buttons writes them back at once.
        QCOMPARE(stored("Preis1"), QStringLiteral("3"));
        QCOMPARE(stored("Preis2"), QStringLiteral("3"));
        QCOMPARE(stored("Art"), QStringLiteral("0"));
        QVERIFY(f.meldungen.isEmpty());
    }

    void placement_data()
    {
        // A sample of the design: on the window, in each frame, and standing over a frame.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Währung") << "Währung" << "Quelm" << QRect(1200, 2820, 855, 315);
        QTest::newRow("Strichbreite") << "Strichbreite" << "DruckerFrame" << QRect(1560, 300, 735, 285);
        QTest::newRow("Shape1") << "Shape1" << "DruckerFrame" << QRect(2400, 300, 1695, 735);
        QTest::newRow("Picture1") << "Picture1" << "Quelm" << QRect(2160, 5400, 1920, 930);
        QTest::newRow("DateiAuswahl") << "DateiAuswahl" << "DateiFrame" << QRect(120, 840, 1455, 375);
        QTest::newRow("Option3(2)") << "Option3(2)" << "Frame1" << QRect(120, 960, 735, 375);
        QTest::newRow("Option2(0)") << "Option2(0)" << "FramePreis2" << QRect(120, 360, 1095, 255);
        QTest::newRow("Option1(3)") << "Option1(3)" << "Quelm" << QRect(240, 1560, 1095, 255);
        QTest::newRow("Drucken") << "Drucken" << "Quelm" << QRect(3240, 1680, 1095, 375);
    }
    void placement()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, twips);
        Fenster f;
        auto *c = f.get<QWidget>(name);
        QVERIFY(c);
        QCOMPARE(c->parentWidget()->objectName(), parent);
        const double sx = f.w->logicalDpiX() / 1440.0, sy = f.w->logicalDpiY() / 1440.0;
        const QRect px(qRound(twips.x() * sx), qRound(twips.y() * sy), qRound(twips.width() * sx),
                       qRound(twips.height() * sy));
        QCOMPARE(c->geometry(), px);
        QCOMPARE(f.w->size(), QSize(qRound(4530 * sx), qRound(6585 * sy)));
        QCOMPARE(f.w->minimumSize(), f.w->maximumSize());
    }

    void choicesKeptAcrossRestart()
    {
        {
            Fenster f;
            f.option(1, 1)->click();
            f.option(2, 2)->click();
            f.option(3, 2)->click();
            QCOMPARE(stored("Preis1"), QStringLiteral("1"));
        }
        Fenster f;
        QVERIFY(f.option(1, 1)->isChecked());
        QVERIFY(f.option(2, 2)->isChecked());
        QVERIFY(f.option(3, 2)->isChecked());
        // A laser start: the start label is empty and can be typed into.
        QCOMPARE(f.get<QLineEdit>("StartLabel")->text(), QString());
        QVERIFY(!f.get<QLineEdit>("StartLabel")->isReadOnly());
    }

    void invalidStoredChoiceSelectsDefault_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("beyond the buttons") << "7";
        QTest::newRow("negative") << "-1";
        QTest::newRow("no number") << "VK";
        QTest::newRow("too big for 16 bits") << "99999";
    }
    void invalidStoredChoiceSelectsDefault()
    {
        QFETCH(QString, value);
        for (const char *key : {"Preis1", "Preis2", "Art"})
            SettingsStore::write("Tarvel", "System", key, value);
        Fenster f;
        QVERIFY(f.option(1, 3)->isChecked());
        QVERIFY(f.option(2, 3)->isChecked());
        QVERIFY(f.option(3, 0)->isChecked());
        QCOMPARE(stored("Preis1"), QStringLiteral("3"));
        QCOMPARE(stored("Art"), QStringLiteral("0"));
    }

    void enabledStatesPerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("preis2");
        QTest::addColumn<bool>("probe");
        QTest::addColumn<bool>("startEditable");
        QTest::newRow("Liste") << 0 << true << false << false;
        QTest::newRow("Label") << 1 << false << true << false;
        QTest::newRow("Laser") << 2 << false << false << true;
    }
    void enabledStatesPerKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, preis2);
        QFETCH(bool, probe);
        QFETCH(bool, startEditable);
        Fenster f;
        f.option(2, 1)->click();
        f.option(3, 2)->click();
        f.get<QLineEdit>("StartLabel")->setText("5");
        f.option(3, kind)->click();
        QCOMPARE(f.get<QGroupBox>("FramePreis2")->isEnabled(), preis2);
        QCOMPARE(f.option(2, 0)->isEnabled(), preis2);
        QVERIFY(f.option(2, 1)->isChecked()); // the selection stays
        QCOMPARE(f.get<QPushButton>("ProbeDruck")->isEnabled(), probe);
        auto *start = f.get<QLineEdit>("StartLabel");
        QCOMPARE(!start->isReadOnly(), startEditable);
        QCOMPARE(start->text(), startEditable ? QStringLiteral("5") : QStringLiteral("1"));
        QCOMPARE(start->palette().color(QPalette::Base),
                 startEditable ? QApplication::palette().color(QPalette::Base)
                               : start->palette().color(QPalette::Button));
        QCOMPARE(stored("Art"), QString::number(kind));
    }

    void chooseFile()
    {
        Fenster f;
        QString offered = "(nicht gefragt)";
        QString answer = artikel("beispiel.txt");
        f.w->setDateiWahl([&](const QString &aktuell) {
            offered = aktuell;
            return answer;
        });
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(offered, QString());
        QCOMPARE(f.get<QGroupBox>("DateiFrame")->title(), answer);
        QCOMPARE(f.get<QLabel>("Anzahl")->text(), QStringLiteral("14"));
        QCOMPARE(stored("Datei"), answer);

        // Cancelling keeps the file, stores it again and counts anew.
        SettingsStore::write("Tarvel", "System", "Datei", "");
        answer = artikel("beispiel.txt");
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(offered, artikel("beispiel.txt"));
        QCOMPARE(stored("Datei"), answer);
        QCOMPARE(f.get<QLabel>("Anzahl")->text(), QStringLiteral("14"));

        Fenster restarted;
        QCOMPARE(restarted.get<QGroupBox>("DateiFrame")->title(), answer);
        QCOMPARE(restarted.get<QLabel>("Anzahl")->text(), QStringLiteral("14"));
    }

    void printsTheChosenKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("message");
        QTest::newRow("list") << 0 << 3 << 1 << "Barcode erfolgreich gedruckt.";
        QTest::newRow("labels, 3 copies") << 1 << 3 << 6 << "Barcode erfolgreich gedruckt.";
        QTest::newRow("laser, 3 copies") << 2 << 3 << 1 << "LaserLabels erfolgreich gedruckt.";
    }
    void printsTheChosenKind()
    {
        QFETCH(int, kind);
        QFETCH(int, copies);
        QFETCH(int, pages);
        QFETCH(QString, message);
        SettingsStore::write("Tarvel", "System", "Datei", artikel("zwei.txt"));
        Fenster f;
        f.w->setDruckerDialog([&](const Quelm::DruckerWahl &aktuell) {
            Quelm::DruckerWahl w = aktuell;
            w.drucker = "PDF-Datei";
            w.kopien = copies;
            return std::optional(w);
        });
        f.get<QPushButton>("DruckerAuswahl")->click();
        QCOMPARE(f.w->druckerWahl().kopien, copies);
        f.option(3, kind)->click();
        f.get<QPushButton>("Drucken")->click();
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Information);
        QCOMPARE(f.meldungen[0].text, message);
        QCOMPARE(jobs().size(), 1);
        QVERIFY(f.meldungen[0].info.contains(jobs().first()));
        QCOMPARE(tarvel::test::PdfPages(m_jobs.filePath(jobs().first())).pageCount(), pages);
        QVERIFY(!QApplication::overrideCursor());
    }

    void printerDialogKeepsTheBuiltInPdf()
    {
        Fenster f;
        f.w->show();
        QString offered;
        QTimer acceptor;
        connect(&acceptor, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                if (auto *printers = dialog->findChild<QComboBox *>("printers"))
                    offered = printers->currentText();
                dialog->accept();
            }
        });
        acceptor.start(50);
        f.get<QPushButton>("DruckerAuswahl")->click();
        QVERIFY(!offered.isEmpty());
        QCOMPARE(PrinterChoice::instance().current(), QStringLiteral("PDF-Datei"));
        QCOMPARE(f.get<QGroupBox>("DruckerFrame")->title(), QStringLiteral("PDF-Datei"));
        QCOMPARE(f.w->druckerWahl().kopien, 1);
        QVERIFY(!f.w->druckerWahl().seitenBereich);
    }

    // The whole file is checked first: errors print nothing, warnings only when the clerk says so.
    void checkBeforePrinting_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("trotzdem");
        QTest::addColumn<QString>("where"); // in the check's report, or else in the error message
        QTest::addColumn<bool>("printed");
        const QString p = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        QTest::newRow("error in record 7, print anyway")
            << artikel("fehler_zeile7.txt") << true << "Zeile 7, Feld BestellNr: Fehler" << false;
        QTest::newRow("warnings, cancelled") << p + "tabellenexport.txt" << false << "Zeile 2, Feld 12: Warnung" << false;
        QTest::newRow("warnings, print anyway") << p + "tabellenexport.txt" << true << "Zeile 1, Feld EK" << true;
        QTest::newRow("missing file") << artikel("fehlt.txt") << true << "fehlt.txt" << false;
    }
    void checkBeforePrinting()
    {
        QFETCH(QString, file);
        QFETCH(bool, trotzdem);
        QFETCH(QString, where);
        QFETCH(bool, printed);
        SettingsStore::write("Tarvel", "System", "Datei", file);
        SettingsStore::write("Tarvel", "System", "Art", "2");
        Fenster f;
        f.trotzdem = trotzdem;
        f.get<QPushButton>("Drucken")->click();
        const QString gezeigt = f.berichte.join(u'\n') + f.meldungen.value(0).text;
        QVERIFY2(gezeigt.contains(where), qPrintable(gezeigt));
        QCOMPARE(f.meldungen.size(), f.berichte.isEmpty() || printed ? 1 : 0);
        QCOMPARE(jobs().size(), printed ? 1 : 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    // The preview draws the run's pages, marks the flagged labels in red, and prints from there.
    void preview_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("printable");
        const QString p = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        QTest::newRow("17 records on 2 x 8") << artikel("siebzehn.txt") << 2 << false << true;
        QTest::newRow("spreadsheet export") << p + "tabellenexport.txt" << 1 << true << true;
        QTest::newRow("ISBN too wide") << p + "isbn.txt" << 1 << true << false;
    }
    void preview()
    {
        QFETCH(QString, file);
        QFETCH(int, pages);
        QFETCH(bool, marked);
        QFETCH(bool, printable);
        SettingsStore::write("Tarvel", "System", "Datei", file);
        SettingsStore::write("Tarvel", "System", "Art", "2");
        Fenster f;
        int gezeigt = 0;
        f.w->setVorschauZeigen([&](QDialog &d) {
            auto *seiten = d.findChild<QPrintPreviewWidget *>("Seiten");
            seiten->updatePreview();
            ++gezeigt;
            [&] { QCOMPARE(seiten->pageCount(), pages); }();
            d.resize(700, 900);
            const QImage bild = seiten->grab().toImage();
            int rot = 0;
            for (int y = 0; y < bild.height(); ++y)
                for (int x = 0; x < bild.width(); ++x) {
                    const QColor c = bild.pixelColor(x, y);
                    rot += c.red() > 150 && c.green() < 110 && c.blue() < 110;
                }
            [&] { QCOMPARE(rot > 0, marked); }();
            auto *drucken = d.findChild<QPushButton *>("VorschauDrucken");
            [&] { QCOMPARE(drucken->isEnabled(), printable); }();
            return true; // "Drucken" pressed
        });
        f.get<QPushButton>("Vorschau")->click();
        QCOMPARE(gezeigt, 1);
        QCOMPARE(jobs().size(), printable ? 1 : 0);
        QVERIFY(f.berichte.isEmpty()); // what the preview showed is not asked again
    }

    void testLabel()
    {
        SettingsStore::write("Tarvel", "System", "Art", "1");
        Fenster f;
        f.get<QPushButton>("ProbeDruck")->click();
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Information);
        QCOMPARE(f.meldungen[0].text, QStringLiteral("Test-Label erfolgreich gedruckt."));
        QCOMPARE(jobs().size(), 1);
        const QString text = tarvel::test::PdfPages(m_jobs.filePath(jobs().first())).text();
        QVERIFY2(text.contains("Flasch Bier") && text.contains("BOELKSTOFF"), qPrintable(text));
    }

    void barWidth_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("width");
        QTest::addColumn<double>("fits");
        QTest::addColumn<bool>("error");
        QTest::newRow("2") << "2" << "2" << 36.29 << false;
        QTest::newRow("leading number") << "3 Pixel" << "3" << 24.19 << false;
        QTest::newRow("no number picks the default") << "breit" << "4" << 18.14 << false;
        QTest::newRow("2.5 rounds to even") << "2.5" << "2" << 36.29 << false;
        QTest::newRow("negative") << "-3" << "4" << 18.14 << true;
        QTest::newRow("too big") << "99999" << "4" << 18.14 << true;
    }
    void barWidth()
    {
        QFETCH(QString, typed);
        QFETCH(QString, width);
        QFETCH(double, fits);
        QFETCH(bool, error);
        Fenster f;
        f.get<QLineEdit>("Strichbreite")->setText(typed);
        f.w->Strichbreite_LostFocus();
        QCOMPARE(f.get<QLineEdit>("Strichbreite")->text(), width);
        QCOMPARE(f.get<QLineEdit>("MaxZeichen")->text(), Numbers::numberText(fits));
        QCOMPARE(f.meldungen.size(), error ? 1 : 0);
        if (error) {
            QCOMPARE(f.meldungen[0].icon, QMessageBox::Warning);
            QVERIFY(f.meldungen[0].text.contains(typed));
        }
    }

    void longRunShowsProgressAndCancels()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("viele.txt");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int i = 0; i < 20000; ++i)
                f.write(QStringLiteral("Buch;%1;B-%1;Text;Text;;1,00;2,00;3,00;R1;M\r\n").arg(i).toLatin1());
        }
        SettingsStore::write("Tarvel", "System", "Datei", file);
        SettingsStore::write("Tarvel", "System", "Art", "1");
        Fenster f;
        f.w->show();
        QString progressText;
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, [&] {
            auto *dialog = f.w->findChild<QProgressDialog *>();
            if (dialog && dialog->isVisible() && dialog->value() > 0) {
                progressText = dialog->labelText();
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                dialog->cancel();
            }
        });
        canceller.start(20);
        QElapsedTimer t;
        t.start();
        f.get<QPushButton>("Drucken")->click();
        QVERIFY2(progressText.endsWith("von 20000 gedruckt"), qPrintable(progressText));
        QVERIFY(t.elapsed() < 10000);
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Information);
        QVERIFY2(f.meldungen[0].text.contains("abgebrochen"), qPrintable(f.meldungen[0].text));
        QVERIFY(jobs().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.w->findChild<QProgressDialog *>());
    }

    void wartenEndsWhenClosed()
    {
        Fenster f;
        f.w->show();
        QTimer::singleShot(0, f.w.get(), &QWidget::close);
        QElapsedTimer t;
        t.start();
        f.w->Warten();
        QVERIFY(!f.w->isVisible());
        QVERIFY(t.elapsed() < 5000);
    }
};

QTEST_MAIN(TestQuelm)
#include "tst_quelm.moc"
