// The jobs folder: a folder that cannot be written (read-only, full, not a
// folder at all) fails the run with printer error 482 naming the path, in
// German, and leaves nothing half written; jobs never take each other's names,
// not even from another process, and never write through a name already there.

#include "barcode/Code128.h"
#include "mainwindow/DateiDruck.h"
#include "mainwindow/Quelm.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "support/LockedFolder.h"
#include "support/PdfPages.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel;
using mainwindow::DateiDruck;
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
        QTest::addColumn<QString>("grund");       // the message after the path
        QTest::newRow("read-only") << int(LockedFolder::ReadOnly) << QString()
                                   << " kann nicht geschrieben werden: Das Dateisystem ist schreibgeschützt)";
        QTest::newRow("read-only, folder still to create")
            << int(LockedFolder::ReadOnly) << "Tarvel" << " kann nicht angelegt werden)";
        QTest::newRow("full") << int(LockedFolder::Full) << QString()
                              << " kann nicht geschrieben werden: Der Datenträger ist voll)";
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
            grund.replace(QStringLiteral("Das Dateisystem ist schreibgeschützt"),
                          QStringLiteral("Keine Berechtigung zum Schreiben"));

        const auto ergebnis = laufInto(folder, artikel(QStringLiteral("vierzig.txt")));
        QCOMPARE(ergebnis.art, DateiDruck::Ergebnis::Fehler);
        QCOMPARE(ergebnis.fehler->number(), int(RuntimeError::PrinterError));
        QVERIFY2(ergebnis.meldung.contains(QStringLiteral("Druckerfehler")), qPrintable(ergebnis.meldung));
        QVERIFY2(ergebnis.meldung.contains(folder + grund), qPrintable(ergebnis.meldung));
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
        const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        QCOMPARE(QFileInfo(made).permissions() & 0x0777, user);
        QCOMPARE(QFileInfo(ergebnis.ziel).path(), made);

        const QString shared = dir.filePath(QStringLiteral("geteilt"));
        QVERIFY(QDir().mkpath(shared));
        const auto open = user | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
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
        QStringList meldungen;
        Quelm w;
        w.setMeldungsZiel([&](QMessageBox::Icon, const QString &text, const QString &) { meldungen.append(text); });
        w.Drucken_Click();
        QCOMPARE(meldungen.size(), 1);
        QVERIFY2(meldungen[0].startsWith(QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:")),
                 qPrintable(meldungen[0]));
        QVERIFY2(meldungen[0].contains(locked.path() + QStringLiteral(" kann nicht geschrieben werden: Der "
                                                                      "Datenträger ist voll")),
                 qPrintable(meldungen[0]));
        PdfBackend::setJobsFolder(m_ok.path());
        w.Drucken_Click();
        QCOMPARE(meldungen.value(1), QStringLiteral("Barcode erfolgreich gedruckt."));
    }

    // A name already there, a file or a symbolic link leading out of the
    // folder (dangling or not), is passed over and left as it is.
    void takenNamesArePassedOver()
    {
        QTemporaryDir jobs, outside;
        const QString stolen = outside.filePath(QStringLiteral("gestohlen.pdf"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 3; ++s) {
            const QString stamp = now.addSecs(s).toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QVERIFY(QFile::link(stolen, jobs.filePath(QStringLiteral("Tarvel-%1-1.pdf").arg(stamp))));
            QFile alt(jobs.filePath(QStringLiteral("Tarvel-%1-2.pdf").arg(stamp)));
            QVERIFY(alt.open(QIODevice::WriteOnly) && alt.write("alt") == 3);
        }
        PrinterChoice choice(jobs.path());
        choice.setCurrent(PdfBackend::DeviceName);
        Printer p(choice);
        p.Print("neu");
        const QString path = p.EndDoc();
        QVERIFY2(path.endsWith(QStringLiteral("-3.pdf")), qPrintable(path));
        QVERIFY(test::PdfPages(path).text().contains(QStringLiteral("neu")));
        QVERIFY(!QFileInfo::exists(stolen));
        for (const QFileInfo &f : QDir(jobs.path()).entryInfoList({QStringLiteral("*-2.pdf")}, QDir::Files))
            QCOMPARE(f.size(), 3);
    }

    // Runs of the command started in the same second each deliver their own
    // complete job.
    void twoProcessesAtOnce()
    {
        const QString tarvel = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tarvel");
        if (!QFileInfo(tarvel).isExecutable())
            QSKIP("the program tarvel is not built");
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent"));
        QStringList delivered;
        for (int round = 0; round < 4; ++round) {
            QProcess runs[2];
            for (QProcess &run : runs) {
                run.setProcessEnvironment(env);
                run.start(tarvel, {QStringLiteral("drucken"), QStringLiteral("--art"), QStringLiteral("laser"),
                                   artikel(QStringLiteral("vierzig.txt"))});
            }
            for (QProcess &run : runs) {
                QVERIFY(run.waitForFinished(60000));
                QCOMPARE(run.exitCode(), 0);
                delivered << QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
            }
        }
        QCOMPARE(QSet<QString>(delivered.begin(), delivered.end()).size(), 8);
        for (const QString &path : delivered)
            QCOMPARE(test::PdfPages(path).pageCount(), 3);
    }
};

QTEST_MAIN(TestJobsFolderFaults)
#include "tst_jobs_folder_faults.moc"
