#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"
#include "support/PdfPages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::test::PdfPages;

namespace {
struct Recorded
{
    RecordingBackend *rec;
    std::unique_ptr<Printer> printer;
};
Recorded recorded(double dpi = 300)
{
    auto backend = std::make_unique<RecordingBackend>(dpi);
    auto *raw = backend.get();
    return {raw, std::make_unique<Printer>(std::move(backend))};
}
QList<RecordedOp> ofKind(const QList<RecordedOp> &ops, RecordedOp::Kind kind)
{
    QList<RecordedOp> out;
    for (const auto &op : ops)
        if (op.kind == kind)
            out << op;
    return out;
}
} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    QStringList jobFiles() const
    {
        return QDir(m_jobs.path()).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() { PdfBackend::setJobsFolder(m_jobs.path()); }
    void init()
    {
        for (const QString &f : jobFiles())
            QFile::remove(m_jobs.filePath(f));
    }

    void printJoinsItemsAndBreaksLines()
    {
        auto [rec, p] = recorded();
        p->setFontName("Arial");
        p->setFontSize(10);
        p->setCurrentX(100);
        p->setCurrentY(200);
        p->PrintInline("Titel:");
        const double afterCaption = p->CurrentX();
        QCOMPARE(afterCaption, 100 + p->TextWidth("Titel:"));
        p->PrintInline("A");
        p->Print("B");
        QCOMPARE(p->CurrentX(), 0.0);
        QCOMPARE(p->CurrentY(), 200 + p->TextHeight());
        const auto texts = ofKind(rec->ops(), RecordedOp::Text);
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[1].x, afterCaption);
        QCOMPARE(texts[2].x, afterCaption + p->TextWidth("A"));
        QCOMPARE(texts[2].y, 200.0);
        // An empty statement prints an empty line in the current font.
        p->setFontSize(16);
        const double y = p->CurrentY();
        p->Print();
        QCOMPARE(p->CurrentY(), y + p->TextHeight());
        QCOMPARE(Printer::NumberItem(5), QStringLiteral(" 5 "));
        p->PrintInline("Seite ");
        p->Print(Printer::NumberItem(2));
        QCOMPARE(ofKind(rec->ops(), RecordedOp::Text).last().text, QStringLiteral(" 2 "));
    }

    void lineHeightFollowsFontInForceAtLineEnd()
    {
        auto [rec, p] = recorded();
        p->setFontSize(8);
        const double h8 = p->TextHeight();
        p->PrintInline("klein");
        p->setFontSize(12);
        const double h12 = p->TextHeight();
        p->Print("groß");
        QVERIFY(h12 > h8);
        QCOMPARE(p->CurrentY(), h12);
    }

    void fontSizeIsDeviceIndependent_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::newRow("203") << 203.0;
        QTest::newRow("300") << 300.0;
        QTest::newRow("600") << 600.0;
    }
    void fontSizeIsDeviceIndependent()
    {
        QFETCH(double, dpi);
        auto [rec, p] = recorded(dpi);
        p->setFontName("Arial");
        p->setFontSize(16);
        // Liberation Sans: line spacing 1.1499 em, em = 16 pt = 320 twips.
        QVERIFY2(qAbs(p->TextHeight() - 367.97) < 1.0, qPrintable(QString::number(p->TextHeight())));
        QCOMPARE(p->TwipsPerPixelX(), 1440.0 / dpi);
        p->setFontName("Courier New");
        p->setFontSize(20);
        // Fixed pitch: each character is 0.6 em = 240 twips at 20 pt.
        QVERIFY(qAbs(p->TextWidth("12345") - 1200.0) < 1.0);
    }

    void pdfTextHasTheNominalSize()
    {
        Printer p(std::make_unique<PdfBackend>());
        p.setFontName("Arial");
        p.setFontSize(16);
        p.setCurrentX(1440);
        p.setCurrentY(1440);
        p.Print("HHHH");
        const QString path = p.EndDoc();
        const QImage page = PdfPages(path).render(1, 300);
        // Cap height of Liberation Sans is 0.688 em: 16 pt at 300 dpi is 45.9 pixels.
        int top = -1, bottom = -1;
        for (int y = 250; y < 450; ++y) {
            const uchar *line = page.constScanLine(y);
            bool ink = false;
            for (int x = 300; x < 700 && !ink; ++x)
                ink = line[x] < 128;
            if (ink && top < 0)
                top = y;
            if (ink)
                bottom = y;
        }
        QVERIFY(top > 0);
        QVERIFY2(qAbs((bottom - top + 1) - 45.9) <= 1.5, qPrintable(QString::number(bottom - top + 1)));
    }

    void jobOpensWithFirstDrawingAndEndsAtEndDoc()
    {
        auto [rec, p] = recorded();
        p->setFontSize(12);
        p->setCurrentX(5);
        QVERIFY(!p->hasOpenJob());
        QVERIFY(rec->ops().isEmpty());
        QCOMPARE(p->EndDoc(), QString()); // nothing printed, nothing delivered
        p->Print("x");
        QVERIFY(p->hasOpenJob());
        QCOMPARE(rec->ops().first().kind, RecordedOp::BeginJob);
        p->EndDoc();
        QCOMPARE(rec->ops().last().kind, RecordedOp::EndJob);
        QVERIFY(!p->hasOpenJob());
    }

    void newPageBeforeEndDocAddsNoPage()
    {
        Printer p(std::make_unique<PdfBackend>());
        for (int i = 0; i < 3; ++i) {
            p.setCurrentX(100);
            p.setCurrentY(100);
            p.Print(QStringLiteral("Seite %1").arg(i + 1));
            p.NewPage();
        }
        const QString path = p.EndDoc();
        QVERIFY(QFileInfo(path).fileName().startsWith("Tarvel-"));
        QVERIFY(path.endsWith(".pdf"));
        QCOMPARE(PdfPages(path).pageCount(), 3);
        QVERIFY(PdfPages(path).text(3).contains("Seite 3"));
    }

    void twoNewPagesLeaveOneBlankPage()
    {
        auto [rec, p] = recorded();
        p->Print("a");
        p->NewPage();
        p->NewPage();
        p->Print("b");
        p->NewPage();
        p->EndDoc();
        QCOMPARE(ofKind(rec->ops(), RecordedOp::NewPage).size(), 2);
    }

    void killDocLeavesNoFile()
    {
        Printer p(std::make_unique<PdfBackend>());
        p.Print("wird verworfen");
        p.NewPage();
        p.Print("auch das");
        p.KillDoc();
        QVERIFY2(jobFiles().isEmpty(), qPrintable(jobFiles().join(',')));
        QCOMPARE(p.EndDoc(), QString());
        // The next drawing opens a fresh job.
        p.Print("neu");
        const QString path = p.EndDoc();
        QCOMPARE(PdfPages(path).pageCount(), 1);
        QVERIFY(!PdfPages(path).text().contains("verworfen"));
    }

    void destroyedPrinterDeliversNothing()
    {
        {
            Printer p(std::make_unique<PdfBackend>());
            p.Print("offen");
        }
        QVERIFY(jobFiles().isEmpty());
    }

    void unwritableFolderIsPrinterError()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("Tarvel"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        PdfBackend::setJobsFolder(dir.filePath("Tarvel/jobs"));
        Printer p(std::make_unique<PdfBackend>());
        try {
            p.Print("x");
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 482);
            QVERIFY(e.message().startsWith("Laufzeitfehler 482: Druckerfehler"));
            QVERIFY(e.message().contains(dir.filePath("Tarvel/jobs")));
        }
        PdfBackend::setJobsFolder(m_jobs.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    void fullDiskLeavesNothingHalfWritten()
    {
        QTemporaryDir dir;
        const QString mountPoint = dir.filePath("klein");
        QDir().mkpath(mountPoint);
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint}) != 0)
            QSKIP("no small file system can be mounted here");
        PdfBackend::setJobsFolder(mountPoint);
        bool failed = false;
        {
            Printer p(std::make_unique<PdfBackend>());
            try {
                for (int i = 0; i < 400; ++i) {
                    p.setFontSize(8 + i % 12);
                    p.Print(QString("Zeile %1 mit etwas Text, der Platz braucht: äöüß").arg(i).repeated(3));
                    if (i % 40 == 39)
                        p.NewPage();
                }
                p.EndDoc();
            } catch (const RuntimeError &e) {
                failed = true;
                QCOMPARE(e.number(), 482);
                QVERIFY(e.message().contains(mountPoint));
            }
        }
        const QStringList left = QDir(mountPoint).entryList(QDir::Files | QDir::Hidden);
        PdfBackend::setJobsFolder(m_jobs.path());
        QProcess::execute("umount", {mountPoint});
        QVERIFY(failed);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(',')));
    }

    void drawWidthMustBePositive()
    {
        auto [rec, p] = recorded();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, p->setDrawWidth(0));
        p->setDrawWidth(4);
        p->Line(10, 20, 0, 680);
        const auto lines = ofKind(rec->ops(), RecordedOp::Line);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].isBar());
        QCOMPARE(lines[0].penWidth, 4.0);
        QCOMPARE(lines[0].height, 680.0);
    }

    void turnedTextKeepsThePosition()
    {
        auto [rec, p] = recorded();
        p->setCurrentX(100);
        p->setCurrentY(5000);
        p->setFontBold(true);
        p->PrintRotated("Müller", 14 * 24);
        QCOMPARE(p->CurrentX(), 100.0);
        QCOMPARE(p->CurrentY(), 5000.0);
        const auto turned = ofKind(rec->ops(), RecordedOp::RotatedText);
        QCOMPARE(turned.size(), 1);
        QCOMPARE(turned[0].height, 336.0);
        QVERIFY(!turned[0].font.bold);
    }

    void pdfPrinterFollowsTheChosenOrientation()
    {
        auto &choice = PrinterChoice::instance();
        choice.setCurrent(QString::fromLatin1(PdfBackend::DeviceName));
        choice.setPdfOrientation(QPageLayout::Landscape);
        Printer p;
        p.setCurrentX(16000); // the right quarters of a sheet of pickup slips
        p.Print("rechts");
        const QString path = p.EndDoc();
        choice.setPdfOrientation(QPageLayout::Portrait);
        QProcess info;
        info.start("pdfinfo", {path});
        info.waitForFinished();
        const QString pageSize = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(pageSize.contains(QRegularExpression("Page size:\\s+842 x 595 pts")), qPrintable(pageSize));
        QVERIFY(PdfPages(path).text().contains("rechts"));
    }

    void listHeaderColour()
    {
        QCOMPARE(Printer::QBColor(1), QColor(0, 0, 128));
        QCOMPARE(Printer::QBColor(0), QColor(Qt::black));
    }
};

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
