// A jobs folder that cannot be written: read-only, full, or not a folder at
// all. The run fails with printer error 482 naming the path, no PDF and no
// half-written temporary file stays behind, and the next job into a writable
// folder is delivered as usual.

#include "barcode/Code128.h"
#include "runs/DateiDruck.h"
#include "mainwindow/Quelm.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "support/LockedFolder.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel;
using runs::DateiDruck;
using mainwindow::Quelm;
using platform::PdfBackend;
using platform::Printer;
using platform::PrinterChoice;
using platform::RuntimeError;
using test::LockedFolder;

namespace {

QString artikel(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

/// Everything in \a folder but the filler of a full tmpfs.
QStringList inhalt(const QString &folder)
{
    QStringList out = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    out.removeAll(QStringLiteral(".fueller"));
    return out;
}

/// A label run of \a datei to the PDF printer writing into \a folder.
DateiDruck::Ergebnis laufInto(const QString &folder, const QString &datei)
{
    PdfBackend::setJobsFolder(folder);
    Printer printer(std::make_unique<PdfBackend>());
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    DateiDruck druck(printer, code);
    return druck.LabelDrucken(datei, DateiDruck::Auswahl{});
}

} // namespace

class TestJobsFolderFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settings;
    QTemporaryDir m_ok;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        PrinterChoice::instance().setCurrent(PdfBackend::DeviceName);
    }
    void cleanup() { PdfBackend::setJobsFolder({}); }

    void unwritable_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("unterordner"); // "": the locked folder itself
        QTest::addColumn<QString>("grund");       // part of the message after the path
        QTest::newRow("read-only") << int(LockedFolder::ReadOnly) << QString()
                                   << "kann nicht geschrieben werden: das Dateisystem ist schreibgeschützt)";
        QTest::newRow("read-only, folder still to create")
            << int(LockedFolder::ReadOnly) << "Tarvel" << "kann nicht angelegt werden)";
        QTest::newRow("full") << int(LockedFolder::Full) << QString()
                              << "kann nicht geschrieben werden: der Datenträger ist voll)";
    }
    void unwritable()
    {
        QFETCH(int, art);
        QFETCH(QString, unterordner);
        QFETCH(QString, grund);
        LockedFolder locked{LockedFolder::Kind(art)};
        if (!locked.isLocked())
            QSKIP(qPrintable(locked.how()));
        const QString folder = unterordner.isEmpty() ? locked.path() : locked.path() + u'/' + unterordner;
        if (!locked.how().startsWith(QStringLiteral("tmpfs")))
            grund.replace(QStringLiteral("das Dateisystem ist schreibgeschützt"),
                          QStringLiteral("keine Berechtigung zum Schreiben"));

        const auto ergebnis = laufInto(folder, artikel(QStringLiteral("vierzig.txt")));
        QCOMPARE(ergebnis.art, DateiDruck::Ergebnis::Fehler);
        QCOMPARE(ergebnis.fehler->number(), int(RuntimeError::PrinterError));
        QVERIFY2(ergebnis.meldung.contains(QStringLiteral("Druckerfehler")), qPrintable(ergebnis.meldung));
        QVERIFY2(ergebnis.meldung.contains(folder), qPrintable(ergebnis.meldung));
        QVERIFY2(ergebnis.meldung.contains(grund), qPrintable(ergebnis.meldung));
        QCOMPARE(inhalt(locked.path()), QStringList());

        // The next job, into a folder that can be written, is delivered.
        const auto danach = laufInto(m_ok.path(), artikel(QStringLiteral("zwei.txt")));
        QVERIFY2(danach.ok(), qPrintable(danach.meldung));
        QVERIFY(QFileInfo(danach.ziel).isFile());
    }

    // The jobs folder's path names a file: no folder can be made there.
    void pathIsAFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Tarvel"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const auto ergebnis = laufInto(file, artikel(QStringLiteral("zwei.txt")));
        QCOMPARE(ergebnis.fehler->number(), int(RuntimeError::PrinterError));
        QVERIFY2(ergebnis.meldung.contains(QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(file)),
                 qPrintable(ergebnis.meldung));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Tarvel"});
    }

    // A jobs folder the printer makes is its user's alone; one that exists
    // keeps its permissions.
    void newFolderIsPrivate()
    {
        QTemporaryDir dir;
        const QString made = dir.filePath(QStringLiteral("Dokumente/Tarvel"));
        const auto ergebnis = laufInto(made, artikel(QStringLiteral("zwei.txt")));
        QVERIFY2(ergebnis.ok(), qPrintable(ergebnis.meldung));
        // The user, group and other bits of the mode (Qt's owner bits mirror the user's).
        QCOMPARE(QFileInfo(made).permissions() & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        QCOMPARE(QFileInfo(ergebnis.ziel).path(), made);

        const QString shared = dir.filePath(QStringLiteral("geteilt"));
        QVERIFY(QDir().mkpath(shared));
        const auto open = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser
                          | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                          | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(shared, open | QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | QFileDevice::ExeOwner));
        QVERIFY(laufInto(shared, artikel(QStringLiteral("zwei.txt"))).ok());
        QCOMPARE(QFileInfo(shared).permissions() & 0x0777, open);
    }

    // The main window shows the failure with the path, and prints again.
    void windowShowsThePath()
    {
        LockedFolder locked(LockedFolder::Full);
        if (!locked.isLocked())
            QSKIP(qPrintable(locked.how()));
        QSettings store(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel");
        store.setValue("System/Datei", artikel(QStringLiteral("vierzig.txt")));
        store.setValue("System/Art", "1");
        store.sync();
        PdfBackend::setJobsFolder(locked.path());
        QList<QPair<QMessageBox::Icon, QString>> meldungen;
        Quelm w;
        w.setMeldungsZiel([&](QMessageBox::Icon icon, const QString &text, const QString &) {
            meldungen.append({icon, text});
        });
        w.Drucken_Click();
        QCOMPARE(meldungen.size(), 1);
        QCOMPARE(meldungen[0].first, QMessageBox::Warning);
        QVERIFY2(meldungen[0].second.startsWith(QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:")),
                 qPrintable(meldungen[0].second));
        QVERIFY2(meldungen[0].second.contains(locked.path()), qPrintable(meldungen[0].second));
        QCOMPARE(inhalt(locked.path()), QStringList());

        PdfBackend::setJobsFolder(m_ok.path());
        w.Drucken_Click();
        QCOMPARE(meldungen.size(), 2);
        QCOMPARE(meldungen[1].second, QStringLiteral("Barcode erfolgreich gedruckt."));
    }
};

QTEST_MAIN(TestJobsFolderFaults)
#include "tst_jobs_folder_faults.moc"
