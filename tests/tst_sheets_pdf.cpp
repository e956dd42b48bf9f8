#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "sheets/LaserLabels.h"
#include "sheets/LaserLabels4Bahn.h"
#include "sheets/Liste.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel;
namespace BarcodeDecoder = test::BarcodeDecoder;
using test::PdfPages;

/// Whole jobs of each sheet layout through the PDF printer, read back as a person
/// would: every barcode decodes, each on its page. (Where each lies on the page:
/// tst_sheet_grids.) Set TARVEL_KEEP_JOBS to a folder to keep the PDFs for a look.
class TestSheetsPdf : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    /// A job on the PDF printer with the bar width set as the setup dialog leaves it.
    struct Job
    {
        platform::Printer printer{std::make_unique<platform::PdfBackend>(300)};
        barcode::Code128 code;
        Job() { code.InitBreite(printer, 0); }
    };

private slots:
    void initTestCase()
    {
        const QString keep = qEnvironmentVariable("TARVEL_KEEP_JOBS");
        platform::PdfBackend::setJobsFolder(keep.isEmpty() ? m_jobs.path() : keep);
    }

    /// A page full, and one more on a second page.
    void barcodesOnTheirPages_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("perPage");
        QTest::newRow("LaserLabels") << "laser" << 24;
        QTest::newRow("LaserLabels4Bahn") << "four" << 48;
        QTest::newRow("Liste") << "liste" << 12;
        QTest::newRow("Abholschein, four to a page") << "slip" << 4;
    }
    void barcodesOnTheirPages()
    {
        QFETCH(QString, layout);
        QFETCH(int, perPage);
        Job job;
        sheets::LaserLabels laser(job.printer, job.code);
        sheets::LaserLabels4Bahn four(job.printer, job.code);
        sheets::Liste liste(job.printer, job.code);
        labelprinter::PlainBarWidthBoxes boxes("0");
        labelprinter::LabelData slip;
        slip.StartPosition = 1;
        if (layout == "liste")
            liste.Kopf();
        QStringList numbers;
        for (int i = 1; i <= perPage + 1; ++i) {
            numbers << QStringLiteral("%1-%2").arg(layout.toUpper()).arg(i, 4, 10, QLatin1Char('0'));
            slip.VorgangsNr = numbers.last();
            if (layout == "laser")
                laser.Drucke(0, 0, numbers.last(), "978-3-16-148410-0", "Artikel", "12,90 EUR", "25,23 DM");
            else if (layout == "four")
                four.Drucke(0, 0, 100, numbers.last(), "978-3", "Ein sehr langer Matchcode für Artikel", "3,50", "6,85");
            else if (layout == "liste")
                liste.Drucke(numbers.last(), "978-3-16-148410-0", "MATCH", "9,90", "19,36");
            else
                labelprinter::Abholschein(job.printer, job.code, boxes, slip).Drucke({"", "", "", "", ""}, "", "Frau", 4);
        }
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        QStringList decoded = BarcodeDecoder::decodeAll(pdf.render(1, 300));
        decoded.sort();
        QCOMPARE(decoded, numbers.mid(0, perPage));
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(2, 300)), QStringList{numbers.last()});
    }
};

QTEST_MAIN(TestSheetsPdf)
#include "tst_sheets_pdf.moc"
