#include "barcode/Code128.h"
#include "platform/CupsQueue.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QPrintEngine>
#include <QPrinter>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

using namespace tarvel::platform;
using namespace tarvel::test;
using tarvel::barcode::Code128;

/// Printing to a real CUPS: a cups-pdf queue "PDF", a label printer with CUPS's
/// ZPL driver, and what happens when CUPS goes away.
class TestCups : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;
    QString m_ctl = QStringLiteral(TARVEL_TEST_DATA "/../cups/cupsd-ctl");
    QString m_labels = QStringLiteral("Etiketten-%1").arg(QCoreApplication::applicationPid());

    static void printLabels(Printer &printer, const QStringList &numbers)
    {
        Code128 code;
        code.InitBreite(printer, 0);
        for (const QString &n : numbers) {
            printer.setCurrentX(100);
            printer.setCurrentY(100);
            printer.Print(QStringLiteral("Artikel %1").arg(n));
            printer.setCurrentX(100);
            printer.setCurrentY(600);
            code.Drucke(printer, n, 680);
            printer.NewPage();
        }
    }

    /// The PDF that cups-pdf wrote for the job \a where ("PDF (Auftrag 7)"), in
    /// ~/PDF of the job's owner, once cups-pdf has stopped writing it.
    static QString waitForOutput(const QString &where)
    {
        const passwd *pw = getpwuid(getuid());
        const QDir dir(QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF"));
        for (qint64 i = 0, size = -1; i < 300; ++i, QTest::qWait(300)) {
            const QString job = where.section(u' ', -1).chopped(1);
            const QFileInfoList found = dir.entryInfoList({QStringLiteral("*-job_%1.pdf").arg(job)}, QDir::Files);
            if (!found.isEmpty() && found.first().size() > 0 && found.first().size() == size)
                return found.first().filePath();
            size = found.isEmpty() ? -1 : found.first().size();
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        PdfBackend::setJobsFolder(m_jobs.path());
        if (QProcess::execute(m_ctl, {QStringLiteral("start")}) != 0 || !CupsQueue::exists(QStringLiteral("PDF")))
            QSKIP("no CUPS scheduler with the cups-pdf queue PDF can be started here");
    }

    // A label printer's jobs are laid out on its media at its resolution, as
    // the queue is set up; what the user picks in a printer dialog wins.
    void labelPrinterAsItIsSetUp()
    {
        QCOMPARE(QProcess::execute(m_ctl, {QStringLiteral("etiketten"), m_labels, QStringLiteral("9")}), 0);
        PrinterChoice choice(m_jobs.path());
        choice.setCurrent(m_labels);
        Printer printer(choice);
        Code128 code;
        code.InitBreite(printer, 0);
        QCOMPARE(printer.TwipsPerPixelX(), 1440.0 / 203);
        QCOMPARE(printer.DrawWidth(), 3);
        QCOMPARE(choice.setupFor(m_labels).layout.fullRectPoints(), QRectF(0, 0, 288, 144));

        QPrinter dialog(QPrinter::HighResolution);
        choice.prepareDialog(dialog);
        QCOMPARE(dialog.printerName(), m_labels);
        dialog.setPageSize(QPageSize(QSizeF(4, 3), QPageSize::Inch));
        dialog.printEngine()->setProperty(QPrintEngine::PrintEnginePropertyKey(0xfe00),
                                          QStringList{QStringLiteral("Resolution"), QStringLiteral("300dpi")});
        choice.takeDialog(dialog);
        code.InitBreite(printer, 0);
        QCOMPARE(printer.DrawWidth(), 4);
        const PageSetup picked = choice.setupFor(m_labels);
        QCOMPARE(picked.layout.fullRectPoints(), QRectF(0, 0, 288, 216));
        QVERIFY(picked.options.contains({"Resolution", "300dpi"}));
        QProcess::execute(m_ctl, {QStringLiteral("entfernen"), m_labels});
    }

    // A printer that does not exist is error 482. A job reaches the queue and nothing
    // of it stays behind; one that CUPS, going away, does not take is kept, and the
    // error names where.
    void jobReachesTheQueue()
    {
        PrinterChoice::instance().setCurrent(QStringLiteral("Gibtesnicht"));
        Printer printer;
        try {
            printer.Print(QStringLiteral("x"));
            QFAIL("printed to a printer that does not exist");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler 482: Druckerfehler (Drucker \"Gibtesnicht\" nicht gefunden)"));
        }
        PrinterChoice::instance().setCurrent(QStringLiteral("PDF"));
        QCOMPARE(printer.DeviceName(), QStringLiteral("PDF"));
        printLabels(printer, {QStringLiteral("4711"), QStringLiteral("978-3-16-148410-0")});
        const QString where = printer.EndDoc();
        QVERIFY2(where.startsWith(QStringLiteral("PDF (Auftrag ")), qPrintable(where));
        QCOMPARE(QDir(m_jobs.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        const QString out = waitForOutput(where);
        QVERIFY2(!out.isEmpty(), "cups-pdf wrote nothing");
        PdfPages pdf(out);
        QCOMPARE(pdf.pageCount(), 2);
        QVERIFY(pdf.text(1).contains(QStringLiteral("Artikel 4711")));
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(1)), QStringList{QStringLiteral("4711")});
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(2)), QStringList{QStringLiteral("978-3-16-148410-0")});
        QFile::remove(out);

        printLabels(printer, {QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1003")});
        QCOMPARE(QProcess::execute(m_ctl, {QStringLiteral("stop")}), 0);
        QString message;
        try {
            printer.EndDoc();
        } catch (const RuntimeError &e) {
            message = e.message();
        }
        QProcess::execute(m_ctl, {QStringLiteral("start")});
        const QStringList kept = QDir(m_jobs.path()).entryList({QStringLiteral("Tarvel-*.pdf")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        const QString path = QDir(m_jobs.path()).filePath(kept.first());
        QCOMPARE(message, QStringLiteral("Laufzeitfehler 482: Druckerfehler (Drucker \"PDF\" nimmt den Auftrag nicht "
                                         "an: CUPS ist nicht erreichbar; der Auftrag liegt als %1)").arg(path));
        QCOMPARE(BarcodeDecoder::decodeAll(PdfPages(path).render(3)), QStringList{QStringLiteral("1003")});
    }

    void cleanupTestCase() { PrinterChoice::instance().setCurrent(QString::fromLatin1(PdfBackend::DeviceName)); }
};

QTEST_MAIN(TestCups)
#include "tst_cups.moc"
