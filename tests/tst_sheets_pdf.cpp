#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "labelprinter/LabelLayouts.h"
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

using namespace tarvel::platform;
using namespace tarvel::sheets;
using namespace tarvel::test;
using tarvel::barcode::Code128;

namespace {
constexpr int Dpi = 300;

/// A twips rectangle as pixels of a page rendered at Dpi, clipped to the page.
QRect pixels(const QImage &page, double x, double y, double w, double h)
{
    const double s = Dpi / 1440.0;
    return QRect(int(x * s), int(y * s), int(w * s), int(h * s)).intersected(page.rect());
}
} // namespace

/// Whole jobs of each sheet layout through the PDF printer, read back as a person would.
/// Set TARVEL_KEEP_JOBS to a folder to keep the PDFs for a look.
class TestSheetsPdf : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    /// A job on the PDF printer with the bar width set as the setup dialog leaves it.
    struct Job
    {
        Printer printer{std::make_unique<PdfBackend>(Dpi)};
        Code128 code;
        Job() { code.InitBreite(printer, 0); }
    };

private slots:
    void initTestCase()
    {
        const QString keep = qEnvironmentVariable("TARVEL_KEEP_JOBS");
        PdfBackend::setJobsFolder(keep.isEmpty() ? m_jobs.path() : keep);
    }

    void laserLabels()
    {
        Job job;
        LaserLabels laser(job.printer, job.code);
        QStringList numbers;
        for (int i = 1; i <= 25; ++i) {
            numbers << QStringLiteral("47110%1").arg(i, 5, 10, QLatin1Char('0'));
            laser.Drucke(0, 0, numbers.last(), "978-3-16-148410-0", QStringLiteral("Artikel %1").arg(i),
                         "12,90 EUR", "25,23 DM");
        }
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        for (int page = 1; page <= 2; ++page) {
            const QImage image = pdf.render(page, Dpi);
            const int count = page == 1 ? 24 : 1;
            for (int i = 0; i < count; ++i) {
                const double x0 = 310 + (i / 8) * 3700, y0 = 700 + (i % 8) * 1930;
                QCOMPARE(BarcodeDecoder::decodeArea(image, pixels(image, x0 - 100, y0 - 20, 3700, 710)),
                         QStringList{numbers[(page - 1) * 24 + i]});
            }
        }
        QVERIFY(pdf.text(2).contains("4711000025"));
    }

    void fourLaneLabels()
    {
        Job job;
        LaserLabels4Bahn four(job.printer, job.code);
        QStringList numbers;
        for (int i = 1; i <= 49; ++i) {
            numbers << QStringLiteral("8%1").arg(i, 7, 10, QLatin1Char('0'));
            four.Drucke(0, 0, 100, numbers.last(), "978-3-16", QStringLiteral("Ein sehr langer Matchcode für Artikel %1").arg(i),
                        "3,50", "6,85");
        }
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        const QImage image = pdf.render(1, Dpi);
        for (int i = 0; i < 48; ++i) {
            const double x0 = 540 + (i / 12) * 2740, y0 = 1250 + (i % 12) * 1310;
            QCOMPARE(BarcodeDecoder::decodeArea(image, pixels(image, x0 - 60, y0 - 20, 2740, 320)),
                     QStringList{numbers[i]});
        }
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(2, Dpi)), QStringList{numbers[48]});
        // The match codes are cut short of the next lane.
        QVERIFY(pdf.text(1).contains("Ein sehr langer Matchcode"));
        QVERIFY(!pdf.text(1).contains("Artikel 1"));
    }

    void barcodeList()
    {
        Job job;
        Liste liste(job.printer, job.code);
        liste.Kopf();
        QStringList numbers;
        for (int i = 1; i <= 13; ++i) {
            numbers << QStringLiteral("LI-%1").arg(i, 4, 10, QLatin1Char('0'));
            liste.Drucke(numbers.last(), "978-3-16-148410-0", QStringLiteral("MATCH %1").arg(i), "9,90", "19,36");
        }
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        for (int page = 1; page <= 2; ++page) {
            const QImage image = pdf.render(page, Dpi);
            const int count = page == 1 ? 12 : 1;
            for (int i = 0; i < count; ++i) {
                const double y = 900 + i * 1200;
                QCOMPARE(BarcodeDecoder::decodeArea(image, pixels(image, 5400, y - 20, 4000, 710)),
                         QStringList{numbers[(page - 1) * 12 + i]});
            }
            QVERIFY(pdf.text(page).contains("Barcode-Liste vom"));
        }
    }

    void pickupSlipsFourToAPage()
    {
        Job job;
        tarvel::labelprinter::PlainBarWidthBoxes boxes("0");
        tarvel::labelprinter::LabelData data;
        data.StartPosition = 1;
        const QStringList lines{"Bitte Ausweis mitbringen", "", "Zeile 2", "", "", ""};
        QStringList numbers;
        for (int i = 1; i <= 4; ++i) {
            numbers << QStringLiteral("V%1").arg(1000 + i);
            data.VorgangsNr = numbers.last();
            data.Name1 = QStringLiteral("Kundin Nummer %1").arg(i);
            data.Strasse = "Hauptstr. 1", data.PLZ = "12345", data.Ort = "Musterstadt";
            data.Preis1 = "19,90", data.Preis2 = "38,92", data.MatchCode = "MUSTER";
            data.Datum = "05.12.2026", data.Bemerkung = "bezahlt", data.SchlussText = "Vielen Dank!";
            tarvel::labelprinter::Abholschein(job.printer, job.code, boxes, data).Drucke(lines, "z. Hd. Frau Meier", "Frau", 4);
        }
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 1);
        const QImage image = pdf.render(1, Dpi);
        for (int k = 0; k < 4; ++k) {
            const double c = (k / 2) * 8400, r = (k % 2) * 5800;
            QCOMPARE(BarcodeDecoder::decodeArea(image, pixels(image, c + 700, r, 3400, 5800)), QStringList{numbers[k]});
        }
        QVERIFY(pdf.text(1).contains("Kundin Nummer 2"));
    }

    void canoeLabel()
    {
        Job job;
        tarvel::labelprinter::PlainBarWidthBoxes boxes("0");
        tarvel::labelprinter::LabelData data;
        data.ArtikelNr = "KANU-0815";
        data.MatchCode = "KAJAK ROT 3,80 M";
        data.Bemerkung = "mit Spritzdecke";
        data.Preis1 = "899,00 EUR";
        data.Preis2 = "1758,29 DM";
        tarvel::labelprinter::LabelLayouts(job.printer, job.code, boxes, data).KanuEtikett();
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(BarcodeDecoder::decodeAll(pdf.render(1, Dpi)), QStringList{"KANU-0815"});
        QVERIFY(pdf.text(1).contains("899,00 EUR"));
    }

    void addressLabels()
    {
        Job job;
        AdressLabels address(job.printer);
        const QString wide = "Gesellschaft für Buchhandel und Verlagswesen mbH";
        QStringList printed;
        for (int i = 1; i <= 25; ++i)
            printed = address.Drucke(1, {"Firma", wide, "z. Hd. Frau Meier", "Marktplatz 3", QStringLiteral("%1 Musterstadt").arg(10000 + i)});
        QVERIFY(printed[1].size() < wide.size());
        const PdfPages pdf(job.printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        const QString page1 = pdf.text(1);
        QVERIFY(page1.contains("10024 Musterstadt"));
        QVERIFY(!page1.contains("10025 Musterstadt"));
        QVERIFY(page1.contains(printed[1]));
        QVERIFY(!page1.contains(wide));
        QVERIFY(pdf.text(2).contains("10025 Musterstadt"));
    }
};

QTEST_MAIN(TestSheetsPdf)
#include "tst_sheets_pdf.moc"
