// The main window on the offscreen platform: its controls, its stored
// choices, and its buttons printing through the built-in PDF printer.
#include "mainwindow/Quelm.h"
#include "mainwindow/VorschauSeiten.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/SettingsStore.h"
#include "support/PdfPages.h"

#include <QtTest>
#include <QtWidgets>

using tarvel::mainwindow::Quelm;
using namespace tarvel::platform;

namespace {

/// A window whose message boxes are collected instead of shown.
struct Fenster
{
    std::unique_ptr<Quelm> w = std::make_unique<Quelm>();
    QStringList meldungen; ///< "Info: text | info", "Warnung: text"
    QStringList berichte;  ///< what the check's dialog showed
    bool trotzdem = false; ///< the answer to it
    Fenster()
    {
        w->setPruefDialog([this](const tarvel::runs::Befunde &, const QString &bericht) {
            berichte << bericht;
            return trotzdem;
        });
        w->setMeldungsZiel([this](QMessageBox::Icon icon, const QString &text, const QString &info) {
            const char *art = icon == QMessageBox::Information ? "Info: "
                              : icon == QMessageBox::Warning   ? "Warnung: "
                                                               : "?: ";
            meldungen << art + text + (info.isEmpty() ? QString() : " | " + info);
        });
    }
    template<typename T = QWidget> T *get(const QString &name) const { return w->findChild<T *>(name); }
    QRadioButton *option(int group, int i) const { return get<QRadioButton>(QString("Option%1(%2)").arg(group).arg(i)); }
    QString dateiFrame() const { return get<QGroupBox>("DateiFrame")->title() + ": " + get<QLabel>("Anzahl")->text(); }
    /// What the window shows of its choices: the checked buttons, the start label, which parts take input.
    QString choices() const
    {
        QString text;
        for (int group = 1; group <= 3; ++group)
            for (int i = 0; i < 4; ++i)
                if (option(group, i) && option(group, i)->isChecked())
                    text += QStringLiteral("%1 %2, ").arg(QStringList{"Preis1", "Preis2", "Art"}[group - 1]).arg(i);
        const auto *start = get<QLineEdit>("StartLabel");
        return text + QStringLiteral("Startlabel „%1“%2, Preis 2 %3, Probe Druck %4")
                          .arg(start->text(), start->isReadOnly() ? " fest" : "",
                               get("FramePreis2")->isEnabled() ? "an" : "aus", get("ProbeDruck")->isEnabled() ? "an" : "aus");
    }
};

} // namespace

class TestQuelm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    QStringList jobs() const { return QDir(m_jobs.path()).entryList({"*.pdf"}, QDir::Files); }
    static QString artikel(const QString &name) { return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name; }
    static QString stored(const QString &key) { return SettingsStore::read("Tarvel", "System", key, "(fehlt)"); }
    static void store(const QString &key, const QString &value) { SettingsStore::write("Tarvel", "System", key, value); }

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
        // Parents, names, captions, frame titles and first values as designed.
        const QStringList expected{
            "Quelm Option1(0): EK-Preis", "FramePreis2 Option2(3): leer", "Frame1 Option3(2): Laser",
            "Quelm Drucken: Drucken", "Quelm ProbeDruck: Probe Druck", "Quelm LagerfachNr: Lagerfachnummer drucken",
            "Quelm Label3: Startlabel...................", "Quelm Währung: €", "Quelm DruckerFrame: PDF-Datei",
            "DruckerFrame Label1: Strichbreite...................", "DruckerFrame Strichbreite: 4",
            "DruckerFrame MaxZeichen: 18,14", "DruckerFrame DruckerAuswahl: Drucker Einstellungen",
            "Quelm DateiFrame: ", "DateiFrame DateiAuswahl: Datei auswählen", "DateiFrame Anzahl: 0"};
        QStringList seen;
        for (const QString &entry : expected) {
            const QWidget *c = f.get(entry.section(u' ', 1, 1).chopped(1));
            const char *caption = c->inherits("QComboBox") ? "currentText" : c->inherits("QGroupBox") ? "title" : "text";
            seen << QStringLiteral("%1 %2: %3").arg(c->parentWidget()->objectName(), c->objectName(),
                                                    c->property(caption).toString());
        }
        QCOMPARE(seen, expected);
        QVERIFY(!f.get<QCheckBox>("LagerfachNr")->isChecked());
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
            for (const auto &[group, index] : {std::pair{1, 1}, {2, 2}, {3, 2}})
                f.option(group, index)->click();
            auto *start = f.get<QLineEdit>("StartLabel");
            start->setText("5");
            f.option(3, kind)->click();
            QCOMPARE(f.choices(), choices);
            QCOMPARE(start->palette().color(QPalette::Base),
                     kind == 2 ? QApplication::palette().color(QPalette::Base) : start->palette().color(QPalette::Button));
        }
        Fenster restarted; // a laser start shows an empty start label
        QCOMPARE(restarted.choices(), QString(choices).replace("„5“", "„“"));
    }

    // The file frame shows a "&" of the path as it is, making no shortcut of it.
    void chooseFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("M&S"));
        const QString answer = dir.filePath("M&S/a.txt");
        QVERIFY(QFile::copy(artikel("beispiel.txt"), answer));
        const QString shown = QString(answer).replace("&", "&&") + ": 14";
        Fenster f;
        QString offered = "(nicht gefragt)";
        f.w->setDateiWahl([&](const QString &aktuell) {
            offered = aktuell;
            return answer;
        });
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(offered, QString());
        QCOMPARE(f.dateiFrame(), shown);
        QCOMPARE(stored("Datei"), answer);
        // Cancelling keeps the file, stores it again and counts anew.
        store("Datei", "");
        f.get<QPushButton>("DateiAuswahl")->click();
        QCOMPARE(offered, answer);
        QCOMPARE(stored("Datei"), answer);
        QCOMPARE(Fenster().dateiFrame(), shown); // after a restart
    }

    // Each button checks the whole file first: errors print nothing, warnings only when the clerk
    // says so. A run ends in one message and one job of its pages. The preview draws the run's
    // pages, marks the flagged labels in red, and prints from there without asking again.
    void buttons_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("trotzdem");
        QTest::addColumn<QString>("befund"); // in the check's report, or what the preview showed
        QTest::addColumn<QString>("meldung"); // the message at the end, without the job's path
        QTest::addColumn<int>("pages");       // of the job, 0: none
        QTest::addColumn<QString>("start");   // typed as Startlabel; empty: as the window leaves it
        const QString p = QStringLiteral(TARVEL_TEST_DATA "/pruefung/");
        const QString laser = QStringLiteral("Info: LaserLabels erfolgreich gedruckt.");
        const auto row = [](const char *name, const QString &file, int kind, const char *button, bool trotzdem,
                            const char *befund, const QString &meldung, int pages, const char *start = "") {
            QTest::newRow(name) << file << kind << button << trotzdem << befund << meldung << pages << start;
        };
        row("labels, 3 copies", artikel("zwei.txt"), 1, "Drucken", false, "", "Info: Barcode erfolgreich gedruckt.", 6);
        row("test label", artikel("zwei.txt"), 1, "ProbeDruck", false, "", "Info: Test-Label erfolgreich gedruckt.", 1);
        row("error in record 7, print anyway", artikel("fehler_zeile7.txt"), 2, "Drucken", true,
            "Zeile 7, Feld BestellNr: Fehler", "", 0);
        row("warnings, cancelled", p + "tabellenexport.txt", 2, "Drucken", false, "Zeile 2, Feld 12: Warnung", "", 0);
        row("warnings, print anyway", p + "tabellenexport.txt", 2, "Drucken", true, "Zeile 1, Feld EK", laser, 1);
        row("missing file", artikel("fehlt.txt"), 2, "Drucken", true, "",
            "Warnung: Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\rDatei nicht gefunden (Datei „" + artikel("fehlt.txt")
                + "“: die Datei ist nicht vorhanden)", 0);
        row("preview, 17 records", artikel("siebzehn.txt"), 2, "Vorschau", false, "Seiten: 4, Seite 2, Drucken an", laser, 4);
        row("preview, spreadsheet export", p + "tabellenexport.txt", 2, "Vorschau", false,
            "Seiten: 1, Seite 1, rot markiert, Drucken an", laser, 1);
        row("preview, ISBN too wide", p + "isbn.txt", 2, "Vorschau", false, "Seiten: 1, Seite 1, rot markiert, Drucken aus", "", 0);
        const QString keinStart = QStringLiteral("Warnung: Startlabel „%1“ ist keine Labelnummer von 1 bis 16. Es wurde nichts gedruckt.");
        row("start label abc", artikel("zwei.txt"), 2, "Drucken", false, "", keinStart.arg("abc"), 0, "abc");
        row("preview, start label 17", artikel("zwei.txt"), 2, "Vorschau", false, "", keinStart.arg("17"), 0, "17");
        row("start label 16", artikel("zwei.txt"), 2, "Drucken", false, "", laser, 2, " 16");
    }
    void buttons()
    {
        QFETCH(QString, file);
        QFETCH(int, kind);
        QFETCH(QString, button);
        QFETCH(bool, trotzdem);
        QFETCH(QString, befund);
        QFETCH(QString, meldung);
        QFETCH(int, pages);
        QFETCH(QString, start);
        store("Datei", file);
        Fenster f;
        f.trotzdem = trotzdem;
        f.w->setDruckerDialog([](Quelm::DruckerWahl w) {
            w.kopien = 3;
            return std::optional(w);
        });
        f.get<QPushButton>("DruckerAuswahl")->click();
        f.option(3, kind)->click();
        if (!start.isEmpty())
            f.get<QLineEdit>("StartLabel")->setText(start);
        QString vorschau; // what each preview showed
        f.w->setVorschauZeigen([&](QDialog &d) {
            auto *seiten = d.findChild<tarvel::mainwindow::VorschauSeiten *>("Seiten");
            d.resize(700, 900);
            if (!QTest::qWaitFor([seiten] { return seiten->gezaehlt(); }))
                vorschau += "nicht gezählt: ";
            d.findChild<QToolButton *>("SeiteVor")->click(); // the second page, where there is one
            const QImage bild = seiten->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto *px = reinterpret_cast<const QRgb *>(bild.constBits());
            const bool rot = std::any_of(px, px + bild.width() * bild.height(),
                                         [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110; });
            vorschau += QStringLiteral("Seiten: %1, Seite %2%3, Drucken %4")
                            .arg(seiten->pageCount())
                            .arg(seiten->currentPage())
                            .arg(rot ? ", rot markiert" : "",
                                 d.findChild<QPushButton *>("VorschauDrucken")->isEnabled() ? "an" : "aus");
            return true; // "Drucken" pressed
        });
        f.get<QPushButton>(button)->click();
        if (button == "Vorschau") {
            QCOMPARE(vorschau, befund);
            QVERIFY(f.berichte.isEmpty()); // what the preview showed is not asked again
        } else {
            const QString bericht = f.berichte.join(u'\n');
            QVERIFY2(befund.isEmpty() ? bericht.isEmpty() : bericht.contains(befund), qPrintable(bericht));
        }
        QCOMPARE(jobs().size(), pages ? 1 : 0);
        if (pages) {
            const QString job = m_jobs.filePath(jobs().first());
            QCOMPARE(tarvel::test::PdfPages(job).pageCount(), pages);
            meldung += " | Gespeichert als " + job;
        }
        QCOMPARE(f.meldungen, meldung.isEmpty() ? QStringList() : QStringList(meldung));
        QVERIFY(!QApplication::overrideCursor());
    }

    // A refused bar width keeps the one in effect (the step's rules are held in tst_labellayouts).
    // Accepting the printer dialog keeps the built-in PDF printer and its default width; its
    // copies show in the frame, and the file named there takes the next job. Warten
    // ends when the window closes.
    void printerFrame()
    {
        Fenster f;
        f.w->show();
        const auto leave = [&](const char *typed) {
            f.w->setStrichbreite(typed);
            f.w->Strichbreite_LostFocus();
            return f.w->strichbreite() + " " + f.get<QLineEdit>("MaxZeichen")->text();
        };
        QCOMPARE(leave("99999"), "4 18,14");
        QCOMPARE(leave("3 Pixel"), "3 24,19");
        QCOMPARE(f.meldungen, QStringList("Warnung: Diese Strichbreite wird nicht angenommen:\n\r\n\rÜberlauf (Strichbreite "
                                          "\"99999\": erlaubt sind 1 bis 32767 Pixel, 0 für die Standardbreite)"));
        QTimer acceptor;
        QString confirm;
        const QString named = m_jobs.filePath("Etiketten.pdf");
        connect(&acceptor, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                dialog->findChild<QSpinBox *>("copies")->setValue(2);
                auto *file = dialog->findChild<QLineEdit *>("filename");
                file->selectAll();
                QTest::keyClicks(file, named);
                confirm = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->text();
                QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
            }
        });
        acceptor.start(50);
        f.get<QPushButton>("DruckerAuswahl")->click();
        acceptor.stop();
        QCOMPARE(confirm, QStringLiteral("OK")); // the dialog prints nothing itself
        QCOMPARE(PrinterChoice::instance().current(), QStringLiteral("PDF-Datei"));
        QCOMPARE(f.get<QGroupBox>("DruckerFrame")->title(), QStringLiteral("PDF-Datei, 2 Kopien"));
        QCOMPARE(f.w->strichbreite(), QStringLiteral("4"));
        QCOMPARE(f.w->druckerWahl().kopien, 2);
        f.option(3, 1)->click();
        f.get<QPushButton>("ProbeDruck")->click();
        QCOMPARE(jobs(), QStringList("Etiketten.pdf")); // the file named in the dialog
        QVERIFY(!f.w->druckerWahl().seitenBereich);
        QTimer::singleShot(0, f.w.get(), &QWidget::close);
        f.w->Warten();
        QVERIFY(!f.w->isVisible());
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
        QCOMPARE(f.meldungen, QStringList("Info: Der Druck von „viele.txt“ wurde abgebrochen; nichts davon wurde gedruckt."));
        QVERIFY(jobs().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.w->findChild<QProgressDialog *>());
    }
};

QTEST_MAIN(TestQuelm)
#include "tst_quelm.moc"
