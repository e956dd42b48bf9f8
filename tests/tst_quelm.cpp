// The main window on the offscreen platform: its controls, its stored
// choices, and its buttons printing through the built-in PDF printer.
#include "mainwindow/Quelm.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/SettingsStore.h"
#include "support/PdfPages.h"

#include <QtTest>
#include <QtWidgets>
#include <QPrintPreviewWidget>

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
void store(const QString &key, const QString &value)
{
    SettingsStore::write("Tarvel", "System", key, value);
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
    template<typename T = QWidget> T *get(const QString &name) const { return w->findChild<T *>(name); }
    QRadioButton *option(int group, int index) const
    {
        return get<QRadioButton>(QStringLiteral("Option%1(%2)").arg(group).arg(index));
    }
    /// What the window shows of its choices: the checked button of each group,
    /// the start label, and which parts take input.
    QString choices() const
    {
        QList<int> checked{-1, -1, -1};
        for (int group = 1; group <= 3; ++group)
            for (int i = 0; i < 4; ++i)
                if (option(group, i) && option(group, i)->isChecked())
                    checked[group - 1] = i;
        const auto *start = get<QLineEdit>("StartLabel");
        return QStringLiteral("Preis1 %1, Preis2 %2, Art %3, Startlabel „%4“%5, Preis 2 %6, Probe Druck %7")
            .arg(checked[0])
            .arg(checked[1])
            .arg(checked[2])
            .arg(start->text(), start->isReadOnly() ? " fest" : "", get("FramePreis2")->isEnabled() ? "an" : "aus",
                 get("ProbeDruck")->isEnabled() ? "an" : "aus");
    }
};

} // namespace

class TestQuelm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    QStringList jobs() const { return QDir(m_jobs.path()).entryList({"*.pdf"}, QDir::Files); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PdfBackend::setJobsFolder(m_jobs.path());
    }
    void init()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
        for (const QString &f : QDir(m_jobs.path()).entryList(QDir::Files))
            QFile::remove(m_jobs.filePath(f));
        PrinterChoice::instance().setCurrent(PdfBackend::DeviceName);
    }

    void firstStartWithEmptyStore()
    {
        Fenster f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Barcode drucken"));
        QCOMPARE(f.choices(), "Preis1 3, Preis2 3, Art 0, Startlabel „1“ fest, Preis 2 an, Probe Druck aus");
        // Selecting the stored buttons writes them back at once.
        QCOMPARE(QStringList({stored("Preis1"), stored("Preis2"), stored("Art")}), QStringList({"3", "3", "0"}));
        // Names, captions, frames and first values as designed.
        QStringList controls;
        for (const char *name : {"Option1(0)", "Option2(3)", "Option3(2)", "Drucken", "ProbeDruck", "LagerfachNr",
                                 "Label3", "Währung", "Label1", "Strichbreite", "MaxZeichen", "DruckerAuswahl",
                                 "DateiAuswahl", "Anzahl"}) {
            const QWidget *c = f.get(name);
            const QString text = c->property(c->inherits("QComboBox") ? "currentText" : "text").toString();
            controls << QStringLiteral("%1 %2: %3").arg(c->parentWidget()->objectName(), name, text);
        }
        QCOMPARE(controls, (QStringList{"Quelm Option1(0): EK-Preis", "FramePreis2 Option2(3): leer",
                                        "Frame1 Option3(2): Laser", "Quelm Drucken: Drucken",
                                        "Quelm ProbeDruck: Probe Druck", "Quelm LagerfachNr: Lagerfachnummer drucken",
                                        "Quelm Label3: Startlabel...................", "Quelm Währung: €",
                                        "DruckerFrame Label1: Strichbreite...................",
                                        "DruckerFrame Strichbreite: 4", "DruckerFrame MaxZeichen: 18,14",
                                        "DruckerFrame DruckerAuswahl: Drucker Einstellungen",
                                        "DateiFrame DateiAuswahl: Datei auswählen", "DateiFrame Anzahl: 0"}));
        QVERIFY(!f.get<QCheckBox>("LagerfachNr")->isChecked());
        QCOMPARE(f.get<QGroupBox>("DruckerFrame")->title(), QStringLiteral("PDF-Datei"));
        QCOMPARE(f.get<QGroupBox>("DateiFrame")->title(), QString());
        QVERIFY(f.meldungen.isEmpty());
        // The window keeps its designed size of 4530 × 6585 twips.
        QCOMPARE(f.w->size(), QSize(qRound(4530 * f.w->logicalDpiX() / 1440.0), qRound(6585 * f.w->logicalDpiY() / 1440.0)));
        QCOMPARE(f.w->minimumSize(), f.w->maximumSize());
    }

    // The kind decides which parts take input; the choices stay across a restart.
    void choicesPerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("choices");
        QTest::newRow("Liste") << 0 << "Preis1 1, Preis2 2, Art 0, Startlabel „1“ fest, Preis 2 an, Probe Druck aus";
        QTest::newRow("Label") << 1 << "Preis1 1, Preis2 2, Art 1, Startlabel „1“ fest, Preis 2 aus, Probe Druck an";
        QTest::newRow("Laser") << 2 << "Preis1 1, Preis2 2, Art 2, Startlabel „5“, Preis 2 aus, Probe Druck aus";
    }
    void choicesPerKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, choices);
        {
            Fenster f;
            f.option(1, 1)->click();
            f.option(2, 2)->click();
            f.option(3, 2)->click();
            auto *start = f.get<QLineEdit>("StartLabel");
            start->setText("5");
            f.option(3, kind)->click();
            QCOMPARE(f.choices(), choices);
            QCOMPARE(f.option(2, 0)->isEnabled(), kind == 0);
            QCOMPARE(start->palette().color(QPalette::Base),
                     kind == 2 ? QApplication::palette().color(QPalette::Base) : start->palette().color(QPalette::Button));
        }
        Fenster restarted; // a laser start shows an empty start label
        QCOMPARE(restarted.choices(), QString(choices).replace("„5“", "„“"));
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
        store("Datei", "");
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(offered, answer);
        QCOMPARE(stored("Datei"), answer);
        Fenster restarted;
        QCOMPARE(restarted.get<QGroupBox>("DateiFrame")->title(), answer);
        QCOMPARE(restarted.get<QLabel>("Anzahl")->text(), QStringLiteral("14"));
        // A "&" in the path shows as it is and makes no shortcut.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("M&S"));
        answer = dir.filePath("M&S/a.txt");
        QVERIFY(QFile::copy(artikel("beispiel.txt"), answer));
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(f.get<QGroupBox>("DateiFrame")->title(), QString(answer).replace("&", "&&"));
        QVERIFY(QKeySequence::mnemonic(f.get<QGroupBox>("DateiFrame")->title()).isEmpty());
        QCOMPARE(stored("Datei"), answer);
    }

    // Each button ends in one message and one job of the run's pages.
    void printButtons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("pages"); // of the job
        QTest::addColumn<QString>("message");
        QTest::newRow("list") << 0 << "Drucken" << 1 << "Barcode erfolgreich gedruckt.";
        QTest::newRow("labels, 3 copies") << 1 << "Drucken" << 6 << "Barcode erfolgreich gedruckt.";
        QTest::newRow("laser, 3 copies") << 2 << "Drucken" << 1 << "LaserLabels erfolgreich gedruckt.";
        QTest::newRow("test label") << 1 << "ProbeDruck" << 1 << "Test-Label erfolgreich gedruckt.";
    }
    void printButtons()
    {
        QFETCH(int, kind);
        QFETCH(QString, button);
        QFETCH(int, pages);
        QFETCH(QString, message);
        store("Datei", artikel("zwei.txt"));
        Fenster f;
        f.w->setDruckerDialog([&](const Quelm::DruckerWahl &aktuell) {
            Quelm::DruckerWahl w = aktuell;
            w.kopien = 3;
            return std::optional(w);
        });
        f.get<QPushButton>("DruckerAuswahl")->click();
        f.option(3, kind)->click();
        f.get<QPushButton>(button)->click();
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].text, message);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Information);
        QCOMPARE(jobs().size(), 1);
        QCOMPARE(f.meldungen[0].info, "Gespeichert als " + m_jobs.filePath(jobs().first()));
        QCOMPARE(tarvel::test::PdfPages(m_jobs.filePath(jobs().first())).pageCount(), pages);
        QVERIFY(!QApplication::overrideCursor());
    }

    // The whole file is checked first: errors print nothing, warnings only when the clerk says so.
    // The preview draws the run's pages, marks the flagged labels in red, and prints from there
    // without asking again.
    void checkBeforePrinting_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("trotzdem");
        QTest::addColumn<QString>("where"); // in the check's report, or else in the error message
        QTest::addColumn<int>("pages");     // in the preview
        QTest::addColumn<bool>("marked");   // in the preview
        QTest::addColumn<bool>("printed");
        const QString p = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        const auto row = [](const char *name, const QString &file, const char *button, bool trotzdem,
                            const char *where, int pages, bool marked, bool printed) {
            QTest::newRow(name) << file << button << trotzdem << where << pages << marked << printed;
        };
        row("error in record 7, print anyway", artikel("fehler_zeile7.txt"), "Drucken", true,
            "Zeile 7, Feld BestellNr: Fehler", 0, false, false);
        row("warnings, cancelled", p + "tabellenexport.txt", "Drucken", false, "Zeile 2, Feld 12: Warnung", 0, false, false);
        row("warnings, print anyway", p + "tabellenexport.txt", "Drucken", true, "Zeile 1, Feld EK", 0, false, true);
        row("missing file", artikel("fehlt.txt"), "Drucken", true, "fehlt.txt", 0, false, false);
        row("preview, 17 records on 2 x 8", artikel("siebzehn.txt"), "Vorschau", false, "", 2, false, true);
        row("preview, spreadsheet export", p + "tabellenexport.txt", "Vorschau", false, "", 1, true, true);
        row("preview, ISBN too wide", p + "isbn.txt", "Vorschau", false, "", 1, true, false);
    }
    void checkBeforePrinting()
    {
        QFETCH(QString, file);
        QFETCH(QString, button);
        QFETCH(bool, trotzdem);
        QFETCH(QString, where);
        QFETCH(int, pages);
        QFETCH(bool, marked);
        QFETCH(bool, printed);
        store("Datei", file);
        store("Art", "2");
        Fenster f;
        f.trotzdem = trotzdem;
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
            [&] { QCOMPARE(d.findChild<QPushButton *>("VorschauDrucken")->isEnabled(), printed); }();
            return true; // "Drucken" pressed
        });
        f.get<QPushButton>(button)->click();
        if (pages > 0) {
            QCOMPARE(gezeigt, 1);
            QVERIFY(f.berichte.isEmpty()); // what the preview showed is not asked again
        } else {
            const QString text = f.berichte.join(u'\n') + f.meldungen.value(0).text;
            QVERIFY2(text.contains(where), qPrintable(text));
            QCOMPARE(f.meldungen.size(), f.berichte.isEmpty() || printed ? 1 : 0);
        }
        QCOMPARE(jobs().size(), printed ? 1 : 0);
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

    // The bar-width step's rules are held in tst_labellayouts; here the window's use of it.
    void barWidth()
    {
        Fenster f;
        auto *box = f.get<QLineEdit>("Strichbreite");
        const auto leave = [&](const char *typed) {
            box->setText(typed);
            f.w->Strichbreite_LostFocus();
            return box->text() + " " + f.get<QLineEdit>("MaxZeichen")->text();
        };
        QCOMPARE(leave("99999"), "4 18,14");
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Warning);
        QVERIFY2(f.meldungen[0].text.contains("\"99999\""), qPrintable(f.meldungen[0].text));
        QCOMPARE(leave("3 Pixel"), "3 24,19");
        QCOMPARE(f.meldungen.size(), 1);
    }

    void longRunShowsProgressAndCancels()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("viele.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 20000; ++i)
            file.write(QStringLiteral("Buch;%1;B-%1;Text;Text;;1,00;2,00;3,00;R1;M\r\n").arg(i).toLatin1());
        file.close();
        store("Datei", file.fileName());
        store("Art", "1");
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
        f.get<QPushButton>("Drucken")->click();
        QVERIFY2(progressText.endsWith("von 20000 gedruckt"), qPrintable(progressText));
        QCOMPARE(f.meldungen.size(), 1);
        QCOMPARE(f.meldungen[0].icon, QMessageBox::Information);
        QCOMPARE(f.meldungen[0].text, QStringLiteral("Der Druck von „viele.txt“ wurde abgebrochen; nichts davon wurde "
                                                     "gedruckt."));
        QVERIFY(jobs().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.w->findChild<QProgressDialog *>());
    }

    void wartenEndsWhenClosed()
    {
        Fenster f;
        f.w->show();
        QTimer::singleShot(0, f.w.get(), &QWidget::close);
        f.w->Warten();
        QVERIFY(!f.w->isVisible());
    }
};

QTEST_MAIN(TestQuelm)
#include "tst_quelm.moc"
