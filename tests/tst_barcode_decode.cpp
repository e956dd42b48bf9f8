#include "barcode/Code128.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::barcode::Code128;
using namespace tarvel::test;

/// Barcodes drawn through the PDF printer, rendered at 300 dpi and read back by two
/// independent decoders, zxing-cpp and zbarimg; both refuse a wrong check character.
class TestBarcodeDecode : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    // The first in code set B; from "9783596294312" on the shortest symbols, with runs of digits in
    // code set C at the start, between, at the end, of odd and even length, and its symbols 95 to 99.
    const QStringList m_texts{
        "0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "7", "Flasch Bier", "9783596294312", "12", "12345A1234", "X123456Y1234567", "AB1234567CD",
        "978-3-16-148410-0", "9596979899", "123456789012345678901234567890"};
    const qsizetype m_firstShortest = m_texts.indexOf("9783596294312");

    /// The text zbarimg reads in \a area, given a white border as its quiet zone.
    QString zbarimg(const QImage &area) const
    {
        QImage image(area.width() + 240, area.height() + 240, QImage::Format_Grayscale8);
        image.fill(255);
        QPainter(&image).drawImage(120, 120, area);
        const QString file = m_dir.filePath(QStringLiteral("zeile.png"));
        image.save(file);
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {"-q", "--raw", "-Sdisable", "-Scode128.enable", file});
        zbar.waitForFinished();
        return QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1);
    }

private slots:
    void initTestCase() { PdfBackend::setJobsFolder(m_dir.path()); }

    void roundTrip_data()
    {
        QTest::addColumn<int>("dpi");
        for (const int dpi : {203, 300, 600})
            QTest::addRow("%d dpi", dpi) << dpi;
    }
    void roundTrip()
    {
        QFETCH(int, dpi);
        Printer printer(std::make_unique<PdfBackend>(dpi));
        Code128 code;
        code.InitBreite(printer, 0);
        // One barcode a row, 1100 twips apart, at the label's usual left edge; a place of
        // no room at all makes Drucke draw the shortest symbol.
        for (int i = 0; i < m_texts.size(); ++i) {
            printer.setCurrentX(100);
            printer.setCurrentY(200 + i * 1100);
            if (i < m_firstShortest)
                code.Drucke(printer, m_texts[i], 680);
            else
                code.Drucke(printer, m_texts[i], 680, 0);
        }
        const QImage page = PdfPages(printer.EndDoc()).render(1, 300);
        for (int i = 0; i < m_texts.size(); ++i) {
            const QRect row(0, (200 + i * 1100) * 300 / 1440 - 20, page.width(), 680 * 300 / 1440 + 40);
            QCOMPARE(BarcodeDecoder::decodeArea(page, row), QStringList{m_texts[i]});
            QCOMPARE(zbarimg(page.copy(row)), m_texts[i]);
        }
    }
};

QTEST_MAIN(TestBarcodeDecode)
#include "tst_barcode_decode.moc"
