#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/QtGerman.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QDir>
#include <QPrinter>
#include <QSettings>
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
/// "595 x 842" for each page of a PDF: its size in points, as pdfinfo reads it.
QStringList pageSizes(const QString &path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                           QStringLiteral("99"), path});
    info.waitForFinished();
    QStringList sizes;
    static const QRegularExpression size(QStringLiteral("Page +\\d+ size: +(\\d+)(?:\\.\\d+)? x (\\d+)"));
    for (auto it = size.globalMatch(QString::fromUtf8(info.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        sizes << m.captured(1) + QStringLiteral(" x ") + m.captured(2);
    }
    return sizes;
}
} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;
    QTemporaryDir m_settings;

    QStringList jobFiles() const { return QDir(m_jobs.path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        PdfBackend::setJobsFolder(m_jobs.path());
    }
    void init()
    {
        for (const QString &f : jobFiles())
            QFile::remove(m_jobs.filePath(f));
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
    }

    void printJoinsItemsAndBreaksLines()
    {
        auto [rec, p] = recorded();
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
        QCOMPARE(texts[2].x, afterCaption + p->TextWidth("A"));
        QCOMPARE(texts[2].y, 200.0);
        // The line height is that of the font in force at the line's end.
        p->setFontSize(8);
        p->PrintInline("klein");
        p->setFontSize(16);
        const double y = p->CurrentY();
        p->Print();
        QCOMPARE(p->CurrentY(), y + p->TextHeight());
        QCOMPARE(Printer::NumberItem(5), QStringLiteral(" 5 "));
        QCOMPARE(Printer::NumberItem(-5), QStringLiteral("-5 "));
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
        p.setFontSize(16);
        p.setCurrentX(1440);
        p.setCurrentY(1440);
        p.Print("HHHH");
        const QImage page = PdfPages(p.EndDoc()).render(1, 300);
        // Cap height of Liberation Sans is 0.688 em: 16 pt at 300 dpi is 45.9 pixels.
        int top = -1, bottom = -1;
        for (int y = 250; y < 450; ++y) {
            bool ink = false;
            for (int x = 300; x < 700 && !ink; ++x)
                ink = page.constScanLine(y)[x] < 128;
            if (ink && top < 0)
                top = y;
            if (ink)
                bottom = y;
        }
        QVERIFY2(top > 0 && qAbs((bottom - top + 1) - 45.9) <= 1.5, qPrintable(QString::number(bottom - top + 1)));
    }

    void jobOpensWithFirstDrawingAndEndsAtEndDoc()
    {
        auto [rec, p] = recorded();
        p->setCurrentX(5);
        QVERIFY(!p->hasOpenJob());
        QCOMPARE(p->EndDoc(), QString()); // nothing printed, nothing delivered
        p->Print("a");
        QVERIFY(p->hasOpenJob());
        QCOMPARE(rec->ops().first().kind, RecordedOp::BeginJob);
        p->NewPage();
        p->NewPage(); // a page of its own: blank
        p->Print("b");
        p->NewPage(); // right before the end: adds nothing
        p->EndDoc();
        QCOMPARE(ofKind(rec->ops(), RecordedOp::NewPage).size(), 2);
        QCOMPARE(rec->ops().last().kind, RecordedOp::EndJob);
        QVERIFY(!p->hasOpenJob());
    }

    void pagesOfAPdfJob()
    {
        Printer p(std::make_unique<PdfBackend>());
        for (int i = 0; i < 3; ++i) {
            p.Print(QStringLiteral("Seite %1").arg(i + 1));
            p.NewPage();
        }
        const QString path = p.EndDoc();
        QVERIFY(QFileInfo(path).fileName().startsWith("Tarvel-"));
        QCOMPARE(PdfPages(path).pageCount(), 3);
        QVERIFY(PdfPages(path).text(3).contains("Seite 3"));
        QCOMPARE(jobFiles(), QStringList{QFileInfo(path).fileName()});
    }

    void cancelledJobLeavesNoFile()
    {
        {
            Printer destroyed(std::make_unique<PdfBackend>());
            destroyed.Print("offen");
        }
        Printer p(std::make_unique<PdfBackend>());
        p.Print("wird verworfen");
        p.NewPage();
        p.KillDoc();
        QVERIFY2(jobFiles().isEmpty(), qPrintable(jobFiles().join(',')));
        QCOMPARE(p.EndDoc(), QString());
        p.Print("neu"); // the next drawing opens a fresh job
        const QString path = p.EndDoc();
        QCOMPARE(PdfPages(path).pageCount(), 1);
        QVERIFY(!PdfPages(path).text().contains("verworfen"));
    }

    void barsAndTurnedText()
    {
        auto [rec, p] = recorded();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, p->setDrawWidth(0));
        p->setDrawWidth(4);
        p->Line(10, 20, 0, 680);
        const auto lines = ofKind(rec->ops(), RecordedOp::Line);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].isBar());
        QCOMPARE(lines[0].penWidth, 4.0);
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

    // The PDF printer's paper and orientation from a dialog hold for later
    // processes; a file named in the dialog takes the next job, and only that one.
    void pdfPageFromTheDialog()
    {
        PrinterChoice first(m_jobs.path());
        first.setCurrent(PdfBackend::DeviceName);
        QPrinter dialog;
        first.prepareDialog(dialog);
        dialog.setPageSize(QPageSize(QPageSize::A5));
        dialog.setPageOrientation(QPageLayout::Landscape);
        first.takeDialog(dialog); // the file field left as offered
        dialog.setOutputFileName(m_jobs.filePath("eigene.pdf"));
        first.takeDialog(dialog);

        PrinterChoice later(m_jobs.path());
        later.setCurrent(PdfBackend::DeviceName);
        Printer p(later);
        p.Print("A5 quer");
        QCOMPARE(pageSizes(p.EndDoc()), QStringList{"595 x 420"});
        Printer named(first);
        named.Print("eins");
        QCOMPARE(named.EndDoc(), m_jobs.filePath("eigene.pdf"));
        named.Print("zwei");
        QVERIFY(QFileInfo(named.EndDoc()).fileName().startsWith("Tarvel-"));
        QCOMPARE(jobFiles().size(), 3);
    }

    // Another printer (here: another page) chosen while a job is open: what
    // is drawn goes out as a job of its own, the rest as a new job.
    void printerChosenWhileAJobIsOpen()
    {
        PrinterChoice choice(m_jobs.path());
        choice.setCurrent(PdfBackend::DeviceName);
        Printer p(choice);
        p.Print("vorher");
        QPrinter dialog;
        choice.prepareDialog(dialog);
        dialog.setPageOrientation(QPageLayout::Landscape);
        choice.takeDialog(dialog);
        QVERIFY(!p.hasOpenJob());
        QCOMPARE(p.DeviceName(), QStringLiteral("PDF-Datei"));
        QCOMPARE(jobFiles().size(), 1);
        const QString before = m_jobs.filePath(jobFiles().first());
        p.Print("nachher");
        const QString after = p.EndDoc();
        QCOMPARE(PdfPages(before).text().trimmed(), QStringLiteral("vorher"));
        QCOMPARE(pageSizes(before), QStringList{"595 x 842"});
        QCOMPARE(PdfPages(after).text().trimmed(), QStringLiteral("nachher"));
        QCOMPARE(pageSizes(after), QStringList{"842 x 595"});
    }

    // Four pickup slips to a sheet fill the quarters of a landscape page, on
    // the PDF printer's portrait A4 without any dialog; the next page is portrait again.
    void slipsFourToASheetOnALandscapePage()
    {
        Printer p(std::make_unique<PdfBackend>());
        tarvel::barcode::Code128 code;
        tarvel::labelprinter::PlainBarWidthBoxes boxes;
        tarvel::labelprinter::LabelData data;
        QStringList numbers;
        for (int i = 1; i <= 4; ++i) {
            data.VorgangsNr = QStringLiteral("V-%1").arg(1000 + i);
            data.Name1 = QStringLiteral("Kundin %1").arg(i);
            data.Bemerkung = QStringLiteral("Bemerkung %1").arg(i);
            numbers << data.VorgangsNr;
            tarvel::labelprinter::Abholschein(p, code, boxes, data).Drucke(QStringList(5, QString()), {}, {}, 4);
        }
        p.Print("danach");
        const QString path = p.EndDoc();
        QCOMPARE(pageSizes(path), (QStringList{"842 x 595", "595 x 842"}));
        QStringList decoded = tarvel::test::BarcodeDecoder::decodeAll(PdfPages(path).render(1));
        decoded.sort();
        QCOMPARE(decoded, numbers);
        const QString text = PdfPages(path).text(1);
        for (int i = 1; i <= 4; ++i)
            QVERIFY2(text.contains(QStringLiteral("Bemerkung %1").arg(i)), qPrintable(text));
    }

    void qtDialogsSpeakGerman()
    {
        QVERIFY(installQtGerman());
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
    }
};

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
