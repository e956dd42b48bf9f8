// The jobs folder: one that cannot be written (read-only, full, a file in its
// place) fails the job with printer error 482, naming the path and the cause in
// German, and leaves nothing half written. Jobs never take each other's names,
// not even from another process, and never write through a name already there.

#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "support/LockedFolder.h"
#include "support/PdfPages.h"

#include <QtTest>
#include <unistd.h>

using namespace tarvel::platform;
using tarvel::test::LockedFolder;

namespace {
/// A job of 40 pages on the PDF printer into \a folder: where it went, or the error's message.
QString jobInto(const QString &folder)
{
    PrinterChoice choice(folder);
    choice.setCurrent(PdfBackend::DeviceName);
    Printer p(choice);
    try {
        for (int i = 1; i <= 40; ++i) {
            p.Print(QStringLiteral("Seite %1 mit Text, der Platz braucht: äöüß").arg(i));
            p.NewPage();
        }
        return p.EndDoc();
    } catch (const RuntimeError &e) {
        return e.message();
    }
}
} // namespace

class TestJobsFolderFaults : public QObject
{
    Q_OBJECT

private slots:
    void unwritable_data()
    {
        QTest::addColumn<int>("art"); // a LockedFolder kind, or -1: a file where the folder should be
        QTest::addColumn<QString>("unterordner");
        QTest::addColumn<QString>("grund"); // the message after the path
        QTest::newRow("read-only") << int(LockedFolder::ReadOnly) << QString()
                                   << " kann nicht geschrieben werden: Das Dateisystem ist schreibgeschützt)";
        QTest::newRow("read-only, folder still to create")
            << int(LockedFolder::ReadOnly) << "/Tarvel" << " kann nicht angelegt werden)";
        QTest::newRow("full") << int(LockedFolder::Full) << QString()
                              << " kann nicht geschrieben werden: Der Datenträger ist voll)";
        QTest::newRow("a file in its place") << -1 << "/Tarvel" << " kann nicht angelegt werden)";
    }
    void unwritable()
    {
        QFETCH(int, art);
        QFETCH(QString, unterordner);
        QFETCH(QString, grund);
        QTemporaryDir plain;
        std::optional<LockedFolder> locked;
        if (art >= 0) {
            locked.emplace(LockedFolder::Kind(art));
            if (!locked->isLocked())
                QSKIP(qPrintable(locked->how()));
            if (!locked->how().startsWith(QStringLiteral("tmpfs")))
                grund.replace(QStringLiteral("Das Dateisystem ist schreibgeschützt"),
                              QStringLiteral("Keine Berechtigung zum Schreiben"));
        } else {
            QVERIFY(QFile(plain.path() + unterordner).open(QIODevice::WriteOnly));
        }
        const QString top = locked ? locked->path() : plain.path();
        const QString folder = top + unterordner;
        const QStringList before = QDir(top).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString message = jobInto(folder);
        QVERIFY2(message.startsWith(QStringLiteral("Laufzeitfehler 482: Druckerfehler (")), qPrintable(message));
        QVERIFY2(message.contains(folder + grund), qPrintable(message));
        QCOMPARE(QDir(top).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    }

    // A jobs folder the printer makes is its user's alone; one that exists keeps its
    // permissions. A name already there, a file or a symbolic link leading out of the
    // folder (dangling or not), is passed over and left as it is. The part of a job that
    // a killed process left is removed; that of a running one stays.
    void foldersAndTakenNames()
    {
        QTemporaryDir jobs, outside;
        const QString made = jobs.filePath(QStringLiteral("Dokumente/Tarvel"));
        QCOMPARE(QFileInfo(jobInto(made)).path(), made);
        // Qt's flags for rwx------ (user, group, other) and rwxr-xr-x (its owner bits mirror the user's).
        QCOMPARE(QFileInfo(made).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
        const QFileDevice::Permissions open(0x7755);
        QVERIFY(QFile::setPermissions(jobs.path(), open));
        const QString stolen = outside.filePath(QStringLiteral("gestohlen.pdf"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 3; ++s) {
            const QString stamp = now.addSecs(s).toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QVERIFY(QFile::link(stolen, jobs.filePath(QStringLiteral("Tarvel-%1-1.pdf").arg(stamp))));
            QFile taken(jobs.filePath(QStringLiteral("Tarvel-%1-2.pdf").arg(stamp)));
            QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("alt") == 3);
        }
        QProcess ended;
        ended.start(QStringLiteral("true"));
        QVERIFY(ended.waitForStarted());
        const qint64 endedPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        const QString left = jobs.filePath(QStringLiteral(".Tarvel-%1-0badc0de.teil").arg(endedPid));
        const QString running = jobs.filePath(QStringLiteral(".Tarvel-%1-0badc0de.teil").arg(getppid()));
        for (const QString &part : {left, running})
            QVERIFY(QFile(part).open(QIODevice::WriteOnly));
        const QString path = jobInto(jobs.path());
        QVERIFY(!QFileInfo::exists(left) && QFileInfo::exists(running));
        QVERIFY2(path.endsWith(QStringLiteral("-3.pdf")), qPrintable(path));
        QCOMPARE(tarvel::test::PdfPages(path).pageCount(), 40);
        QCOMPARE(QFileInfo(jobs.path()).permissions(), open);
        QVERIFY(!QFileInfo::exists(stolen));
        for (const QFileInfo &f : QDir(jobs.path()).entryInfoList({QStringLiteral("*-2.pdf")}, QDir::Files))
            QCOMPARE(f.size(), 3);
    }

    // Runs of the command started in the same second each deliver their own complete job.
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
                                   QStringLiteral(TARVEL_TEST_DATA "/artikel/vierzig.txt")});
            }
            for (QProcess &run : runs) {
                QVERIFY(run.waitForFinished(60000) && run.exitCode() == 0);
                delivered << QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
            }
        }
        QCOMPARE(QSet<QString>(delivered.begin(), delivered.end()).size(), 8);
        for (const QString &path : delivered)
            QCOMPARE(tarvel::test::PdfPages(path).pageCount(), 3);
    }
};

QTEST_MAIN(TestJobsFolderFaults)
#include "tst_jobs_folder_faults.moc"
