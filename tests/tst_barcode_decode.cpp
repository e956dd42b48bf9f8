#include "barcode/Code128.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::barcode::Code128;
using namespace tarvel::test;

/// Barcodes drawn through the PDF printer, rendered at 300 dpi and read back by zxing-cpp.
class TestBarcodeDecode : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    const QStringList texts{
        "0123456789",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
        "abcdefghijklmnopqrstuvwxyz",
        "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "978-3-16-148410-0",
        "7",
        "123456789012345678901234567890",
        "Flasch Bier",
    };

private slots:
    void initTestCase() { PdfBackend::setJobsFolder(m_jobs.path()); }

    void roundTrip_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("203 dpi") << 203;
        QTest::newRow("300 dpi") << 300;
        QTest::newRow("600 dpi") << 600;
    }
    void roundTrip()
    {
        QFETCH(int, dpi);
        Printer printer(std::make_unique<PdfBackend>(dpi));
        Code128 code;
        code.InitBreite(printer, 0);
        // One barcode per row, 1000 twips apart, at the label's usual left edge.
        for (int i = 0; i < texts.size(); ++i) {
            printer.setCurrentX(100);
            printer.setCurrentY(200 + i * 1400);
            code.Drucke(printer, texts[i], 680);
        }
        const QString path = printer.EndDoc();
        const QImage page = PdfPages(path).render(1, 300);
        for (int i = 0; i < texts.size(); ++i) {
            const int top = (200 + i * 1400) * 300 / 1440;
            const QRect row(0, top - 20, page.width(), 680 * 300 / 1440 + 40);
            QCOMPARE(BarcodeDecoder::decodeArea(page, row), QStringList{texts[i]});
        }
    }
};

QTEST_MAIN(TestBarcodeDecode)
#include "tst_barcode_decode.moc"
