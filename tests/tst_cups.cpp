#include "barcode/Code128.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "platform/SystemPrinterBackend.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

using namespace tarvel::platform;
using namespace tarvel::test;
using tarvel::barcode::Code128;

/// Printing to a real CUPS with a cups-pdf queue "PDF", and what happens when CUPS goes away.
class TestCups : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;
    QString m_ctl = QStringLiteral(TARVEL_TEST_DATA "/../cups/cupsd-ctl");

    static QString cupsPdfFolder()
    {
        // cups-pdf writes into ~/PDF of the job's owner, whatever HOME says.
        const passwd *pw = getpwuid(getuid());
        return QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF");
    }

    static void printLabels(Printer &printer, const QStringList &numbers)
    {
        Code128 code;
        code.InitBreite(printer, 0);
        for (const QString &n : numbers) {
            printer.setFontName("Arial");
            printer.setFontSize(12);
            printer.setFontBold(true);
            printer.setCurrentX(100);
            printer.setCurrentY(100);
            printer.Print(QStringLiteral("Artikel %1").arg(n));
            printer.setCurrentX(100);
            printer.setCurrentY(600);
            code.Drucke(printer, n, 680);
            printer.NewPage();
        }
    }

    static QString waitForOutput(const QString &title)
    {
        QDir dir(cupsPdfFolder());
        for (int i = 0; i < 300; ++i) {
            const QStringList found = dir.entryList({QStringLiteral("*%1*.pdf").arg(title)}, QDir::Files);
            if (!found.isEmpty()) {
                const QString path = dir.filePath(found.first());
                QTest::qWait(300); // cups-pdf may still be writing
                return path;
            }
            QTest::qWait(100);
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        PdfBackend::setJobsFolder(m_jobs.path());
        if (QProcess::execute(m_ctl, {QStringLiteral("start")}) != 0)
            QSKIP("no CUPS scheduler with the cups-pdf queue can be started here");
        if (!SystemPrinterBackend::exists(QStringLiteral("PDF")))
            QSKIP("the queue PDF is not visible");
    }

    void jobReachesTheQueue()
    {
        PrinterChoice::instance().setCurrent(QStringLiteral("PDF"));
        Printer printer;
        QCOMPARE(printer.DeviceName(), QStringLiteral("PDF"));
        printLabels(printer, {QStringLiteral("4711"), QStringLiteral("978-3-16-148410-0")});
        const QString where = printer.EndDoc();
        QVERIFY2(where.startsWith(QStringLiteral("PDF (Auftrag ")), qPrintable(where));
        // The spooled copy is gone once CUPS has the job.
        QVERIFY(QDir(m_jobs.path()).entryList(QDir::Files).isEmpty());
        const QString out = waitForOutput(QStringLiteral("Tarvel"));
        QVERIFY2(!out.isEmpty(), "cups-pdf wrote nothing");
        PdfPages pdf(out);
        QCOMPARE(pdf.pageCount(), 2);
        QVERIFY(pdf.text(1).contains(QStringLiteral("Artikel 4711")));
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(1)), QStringList{QStringLiteral("4711")});
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(2)), QStringList{QStringLiteral("978-3-16-148410-0")});
        QFile::remove(out);
    }

    void unknownPrinterIsError482()
    {
        PrinterChoice::instance().setCurrent(QStringLiteral("Gibtesnicht"));
        Printer printer;
        try {
            printer.Print(QStringLiteral("x"));
            QFAIL("printed to a printer that does not exist");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 482);
            QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler 482: Druckerfehler (Drucker \"Gibtesnicht\" nicht gefunden)"));
        }
    }

    void cupsStoppingMidJobKeepsThePdf()
    {
        PrinterChoice::instance().setCurrent(QStringLiteral("PDF"));
        Printer printer;
        printLabels(printer, {QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1003")});
        QCOMPARE(QProcess::execute(m_ctl, {QStringLiteral("stop")}), 0);
        QString message;
        try {
            printer.EndDoc();
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 482);
            message = e.message();
        }
        QProcess::execute(m_ctl, {QStringLiteral("start")});
        QVERIFY2(message.contains(QStringLiteral("Drucker \"PDF\"")), qPrintable(message));
        const QStringList kept = QDir(m_jobs.path()).entryList({QStringLiteral("Tarvel-*.pdf")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        const QString path = QDir(m_jobs.path()).filePath(kept.first());
        QVERIFY2(message.contains(path), qPrintable(message));
        PdfPages pdf(path);
        QCOMPARE(pdf.pageCount(), 3);
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(3)), QStringList{QStringLiteral("1003")});
    }

    void cleanupTestCase() { PrinterChoice::instance().setCurrent(QString::fromLatin1(PdfBackend::DeviceName)); }
};

QTEST_MAIN(TestCups)
#include "tst_cups.moc"
