#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "sheets/Artikel.h"
#include "sheets/ArtikelWahl.h"
#include "sheets/DateiLaserLabels.h"
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

private slots:
    void initTestCase()
    {
        const QString keep = qEnvironmentVariable("TARVEL_KEEP_JOBS");
        platform::PdfBackend::setJobsFolder(keep.isEmpty() ? m_jobs.path() : keep);
    }

    /// A page full, and one more on a second page; each barcode reads within
    /// its own place (a label, lane, list row or quarter). 13-digit ISBNs need
    /// code set C to fit a lane, or the window's label left of its prices.
    void barcodesOnTheirPages_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QRect>("place"); // the first; the others follow down the columns
        QTest::addColumn<int>("bars");    // how far across the place the bars may reach
        QTest::newRow("LaserLabels") << "laser" << 8 << 24 << QRect(210, 680, 3700, 1930) << 3700;
        QTest::newRow("LaserLabels4Bahn, ISBNs") << "four" << 12 << 48 << QRect(440, 1230, 2740, 1210) << 2740;
        QTest::newRow("DateiLaserLabels, ISBNs") << "window" << 8 << 16 << QRect(100, 680, 6000, 1930) << 3600; // short of the prices
        QTest::newRow("Liste") << "liste" << 12 << 12 << QRect(5400, 880, 5600, 1200) << 5600;
        QTest::newRow("Abholschein, four to a page") << "slip" << 2 << 4 << QRect(0, 0, 8400, 5800) << 8400;
    }
    void barcodesOnTheirPages()
    {
        QFETCH(QString, layout);
        QFETCH(int, rows);
        QFETCH(int, perPage);
        QFETCH(QRect, place);
        QFETCH(int, bars);
        // A job on the PDF printer with the bar width set as the setup dialog leaves it.
        platform::Printer printer(std::make_unique<platform::PdfBackend>(300));
        barcode::Code128 code;
        code.InitBreite(printer, 0);
        sheets::LaserLabels laser(printer, code);
        sheets::LaserLabels4Bahn four(printer, code);
        sheets::DateiLaserLabels window(printer, code);
        sheets::Liste liste(printer, code);
        labelprinter::PlainBarWidthBoxes boxes("0");
        labelprinter::LabelData slip;
        sheets::Artikel artikel;
        artikel.VK = "12,90", artikel.KurzText1 = "Straße der Ölsardinen; Neuübersetzung in zwei Bänden";
        const sheets::ArtikelWahl wahl{sheets::Preis::VK, sheets::Preis::Leer, QStringLiteral("€")};
        if (layout == "liste")
            liste.Kopf();
        QStringList numbers;
        for (int i = 1; i <= perPage + 1; ++i) {
            numbers << (layout == "four" || layout == "window"
                            ? QStringLiteral("9783596%1").arg(294312 + i * 7919 % 100000, 6, 10, QLatin1Char('0'))
                            : QStringLiteral("%1-%2").arg(layout.toUpper()).arg(i, 4, 10, QLatin1Char('0')));
            slip.VorgangsNr = artikel.BestellNr = numbers.last();
            if (layout == "laser")
                laser.Drucke(0, 0, numbers.last(), "978-3-16-148410-0", "Artikel", "12,90 EUR", "25,23 DM");
            else if (layout == "four")
                four.Drucke(0, 0, 0, numbers.last(), "978-3", "Ein sehr langer Matchcode für Artikel", "3,50", "6,85");
            else if (layout == "window")
                window.Drucke(artikel, wahl), window.naechsterPlatz();
            else if (layout == "liste")
                liste.Drucke(numbers.last(), "978-3-16-148410-0", "MATCH", "9,90", "19,36");
            else
                labelprinter::Abholschein(printer, code, boxes, slip).Drucke({"", "", "", "", ""}, "", "Frau", 4);
        }
        const PdfPages pdf(printer.EndDoc());
        QCOMPARE(pdf.pageCount(), 2);
        const QImage first = pdf.render(1, 300), second = pdf.render(2, 300);
        const auto area = [&](int i) {
            const QRect twips(place.topLeft() + QPoint(i / rows * place.width(), i % rows * place.height()), QSize(bars, place.height()));
            return QRect(twips.topLeft() * 300 / 1440, twips.size() * 300 / 1440);
        };
        for (int i = 0; i < perPage; ++i)
            QCOMPARE(BarcodeDecoder::decodeArea(first, area(i)), QStringList{numbers[i]});
        QCOMPARE(BarcodeDecoder::decodeArea(second, area(0)), QStringList{numbers.last()});
    }
};

QTEST_MAIN(TestSheetsPdf)
#include "tst_sheets_pdf.moc"
