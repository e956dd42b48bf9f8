#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "sheets/AdressLabels.h"
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

    void barcodesOnTheirPages_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QList<int>>("perPage");
        QTest::newRow("LaserLabels") << "laser" << QList<int>{24, 1};
        QTest::newRow("LaserLabels4Bahn") << "four" << QList<int>{48, 1};
        QTest::newRow("Liste") << "liste" << QList<int>{12, 1};
        QTest::newRow("Abholschein, four to a page") << "slip" << QList<int>{4, 1};
    }
    void barcodesOnTheirPages()
    {
        QFETCH(QString, layout);
        QFETCH(QList<int>, perPage);
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
        for (int i = 1; i <= perPage[0] + perPage[1]; ++i) {
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
        for (int page = 1; page <= 2; ++page) {
            QStringList decoded = BarcodeDecoder::decodeAll(pdf.render(page, 300));
            decoded.sort();
            QCOMPARE(decoded, numbers.mid(page == 1 ? 0 : perPage[0], perPage[page - 1]));
        }
    }

    /// Each line of an address label is cut to its label's width; 24 labels a sheet.
    void addressLabels()
    {
        Job job;
        sheets::AdressLabels address(job.printer);
        const QString wide = "Gesellschaft für Buchhandel und Verlagswesen mbH";
        QStringList printed;
        for (int i = 1; i <= 25; ++i)
            printed = address.Drucke(1, {"Firma", wide, "z. Hd. Frau Meier", "Marktplatz 3", QStringLiteral("%1 Musterstadt").arg(10000 + i)});
        QVERIFY(printed[1].size() < wide.size());
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        const QString page1 = pdf.text(1);
        QVERIFY(page1.contains("10024 Musterstadt") && !page1.contains("10025 Musterstadt"));
        QVERIFY(page1.contains(printed[1]) && !page1.contains(wide));
        QVERIFY(pdf.text(2).contains("10025 Musterstadt"));
    }
};

QTEST_MAIN(TestSheetsPdf)
#include "tst_sheets_pdf.moc"
